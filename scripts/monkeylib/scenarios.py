"""Scripted sequences that `scripts/monkey --scenario NAME` repeats instead of random actions:
a report's steps, done again and again with small random differences in order and timing."""

import time


def settle(monkey, runner, notices=True):
    """Lets tsl catch up, answers the notices that are up with their default button, and checks."""
    for _ in range(5):
        time.sleep(0.15)
        runner.check()
        view = monkey.view()
        notice = view.first('notice')
        if not notices or not notice:
            return view
        monkey.log('  notice: Return (the default button)')
        monkey.screen.activate(notice.xid)
        monkey.input.keys('Return')
    return monkey.view()


def print_options_then_file_menu(monkey, runner):
    """Project windows, Grep, Diff, Column add/del, Ctrl+C / Ctrl+V, the ninth configuration and
    back, an unsaved edit; then OK in "Edit print options" and at once a click on the File menu."""
    rng = monkey.rng
    view = settle(monkey, runner)
    if not view.first('project') and rng.random() < 0.7:
        monkey.open_project(view)
        view = settle(monkey, runner)
    steps = [
        lambda: (monkey.menu_bar_item('Tools', [6, 1], ['Special', 'Grep']), monkey.answer_prompt('main')),
        lambda: monkey.menu_bar_item('Tools', [6, 2], ['Special', 'Diff']),
        lambda: (monkey.mouse_in_main(monkey.view()), monkey.menu_bar_item('Tools', [6, 0], ['Special', 'Column add/del']),
                 monkey.answer_prompt(rng.choice(['//', '', 'x']))),
        lambda: (monkey.mouse_in_main(monkey.view()), monkey.input.keys('ctrl+c'),
                 monkey.focus_main_text(monkey.view()), monkey.input.keys('ctrl+v')),
        lambda: (monkey.menu_bar_item('Options', [1, 8], ['Choose configuration', 'configuration 8']),
                 settle(monkey, runner),
                 monkey.menu_bar_item('Options', [1, 0], ['Choose configuration', 'configuration 0'])),
    ]
    rng.shuffle(steps)
    for step in steps:
        step()
        settle(monkey, runner)
    monkey.type_in_main(monkey.view())
    settle(monkey, runner)
    monkey.menu_bar_item('Options', [3], ['Edit print options'])
    time.sleep(0.3)
    dialog = monkey.view().first('print options')
    if not dialog:
        monkey.log('  (no print options dialog)')
        return
    monkey.ok_in_configuration_dialog(dialog, 'print options')
    time.sleep(rng.choice([0, 0.02, 0.1, 0.3]))
    # The File menu opened, then an item other than New frame and QUIT, or Escape.
    if rng.random() < 0.5:
        monkey.menu_bar_item('File', [rng.randrange(1, 7)])
    else:
        monkey.open_menu_only('File')
    settle(monkey, runner)


SCENARIOS = {'print-options': print_options_then_file_menu}
