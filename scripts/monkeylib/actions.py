"""The monkey's actions: random but legal things a user does with tsl's windows, each logged
before it is done. The choices come from one random generator, so that a seed repeats a run."""

import os
import time

from . import frames
from .windows import WindowActions
from .words import EDIT_KEYS, PIECES, PROMPT_WORDS, SHELL_LINES, SHORTCUTS, WORDS
from .xscreen import Input


class Monkey(WindowActions):
    def __init__(self, session, rng, log):
        self.session = session
        self.screen = session.screen
        self.input = Input(session.environment())
        self.rng = rng
        self.log = log
        self.pid = None
        self.main_xid = None
        self.menu_offsets = None  # where to click, from the main frame's left, for each menu button
        self.panel_shown = True
        self.terminal_shown = True
        self.divider_below = None  # the divider's distance from the work area's bottom once dragged
        self.changed_outside = set()  # the files another program changed while this tsl ran

    # ---- looking -----------------------------------------------------------------------------

    def view(self):
        return frames.View(self.screen.clients(self.pid), self.main_xid)

    def wait_for_main_frame(self, timeout=60):
        """Waits for the main frame, answering the notices tsl shows before it (the recovery of
        changes left by a tsl that was killed) at random."""
        self.main_xid = None
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self.session.tsl.poll() is not None:
                return False
            windows = self.screen.clients(self.pid)
            frames_shown = [w for w in windows if w.title not in frames.DIALOG_TITLES]
            if frames_shown:
                self.main_xid = frames_shown[0].xid
                return True
            notices = [w for w in windows if frames.DIALOG_TITLES.get(w.title) == 'notice']
            if notices:
                time.sleep(0.3)
                self.log(f'a notice before the main frame: {notices[0]}')
                self.answer_notice(notices[0])
            time.sleep(0.2)
        return False

    def wait_menus(self, count, timeout=2.0):
        deadline = time.monotonic() + timeout
        while True:
            menus = self.screen.menus(self.pid)
            if len(menus) >= count:
                return menus
            if time.monotonic() > deadline or self.session.tsl.poll() is not None:
                return None
            time.sleep(0.05)

    def wait_no_menus(self, timeout=2.0):
        deadline = time.monotonic() + timeout
        while self.screen.menus(self.pid) and time.monotonic() < deadline:
            time.sleep(0.05)

    def layout(self, view):
        main = view.main
        return frames.MainLayout(main, self.panel_shown, self.terminal_shown, self.divider_below) if main else None

    def pick(self, options):
        return options[self.rng.randrange(len(options))]

    def text(self, pieces=12):
        out = []
        for _ in range(self.rng.randint(1, pieces)):
            out.append(self.pick(WORDS) if self.rng.random() < 0.5 else self.pick(PIECES))
        return ''.join(out)

    # ---- clicks that reach the window they are meant for ------------------------------------

    def uncover(self, xid, points):
        """Moves the dialogs of tsl that lie over `points` of window `xid` aside, as a user drags
        a dialog out of the way (they stay above the main frame when it is raised)."""
        view = self.view()
        for w in view.windows:
            if w.xid == xid or frames.kind_of(w, self.main_xid) not in frames.COVERING:
                continue
            inside = [(x, y) for x, y in points if w.x <= x < w.x + w.width and w.y <= y < w.y + w.height]
            if not inside:
                continue
            right = max(x for x, _ in points) + 30
            below = max(y for _, y in points) + 30
            if right + w.width <= frames.SCREEN_WIDTH:
                place = (right, w.y)
            elif below + w.height <= frames.SCREEN_HEIGHT:
                place = (w.x, below)
            else:
                place = (max(0, min(x for x, _ in points) - 30 - w.width), w.y)
            self.log(f'  move {w} aside to {place[0]},{place[1]}')
            self.input.run('windowmove', w.xid, *place)
            time.sleep(0.15)

    def click(self, xid, x, y, button=1, count=1):
        self.uncover(xid, [(x, y)])
        self.input.click(x, y, button=button, count=count)

    def drag(self, xid, x1, y1, x2, y2):
        self.uncover(xid, [(x1, y1), (x2, y2)])
        self.input.drag(x1, y1, x2, y2)

    # ---- menus -------------------------------------------------------------------------------

    def calibrate_menu_bar(self, main):
        """Finds the five menu buttons: a click on a button opens its menu at the button's left
        edge, so clicks along the bar tell where each button starts and ends."""
        self.log('finding the menu buttons along the menu bar')
        spans = {}
        order = []
        for x in range(6, min(main.width, 900), 12):
            self.screen.activate(main.xid)
            self.click(main.xid, main.x + x, main.y + frames.MENU_BAR_HEIGHT // 2)
            menus = self.wait_menus(1, 0.8)
            left = menus[0].x - main.x if menus else None
            if menus:
                self.input.keys('Escape')
                self.wait_no_menus()
            if len(order) == len(frames.MENU_BAR_ORDER) and left != order[-1]:
                break  # past the last button
            if left is None:
                continue
            if left not in spans:
                order.append(left)
                spans[left] = []
            spans[left].append(x)
        if len(order) < len(frames.MENU_BAR_ORDER):
            return False
        self.menu_offsets = {name: sum(spans[left]) // len(spans[left])
                             for name, left in zip(frames.MENU_BAR_ORDER, order)}
        self.log(f'menu buttons at {self.menu_offsets}')
        return True

    def random_path(self, items):
        """A random item of a menu: [index] or [index, subindex], and its labels."""
        index = self.rng.randrange(len(items))
        item = items[index]
        if isinstance(item, tuple):
            label, sub = item
            if label == 'Choose configuration':
                # Mostly the nine configurations of the default file, the ninth often, and the
                # empty slots now and then.
                r = self.rng.random()
                subindex = 8 if r < 0.3 else (0 if r < 0.55 else self.rng.randrange(9 if r < 0.9 else 24))
            else:
                subindex = self.rng.randrange(len(sub))
            return [index, subindex], [label, sub[subindex]]
        return [index], [item]

    def choose_in_menu(self, path, titled):
        """With a menu shown, chooses the item at `path` by keys: Down to the item (past the title
        line of a pop-up menu), Right into a submenu, Return."""
        downs = path[0] + 1 + (1 if titled else 0)
        self.input.keys(*(['Down'] * downs))
        if len(path) > 1:
            self.input.keys('Right')
            if not self.wait_menus(2):
                self.input.keys('Escape', 'Escape')
                return False
            self.input.keys(*(['Down'] * path[1]))
        self.input.keys('Return')
        self.wait_no_menus()
        return True

    def menu_bar_item(self, name, path=None, labels=None):
        view = self.view()
        main = view.main
        if not main or not self.menu_offsets:
            return
        if path is None:
            path, labels = self.random_path(frames.MENU_BAR[name])
        elif labels is None:
            labels = self.labels_of(frames.MENU_BAR[name], path)
        self.log(f'menu {name} > {" > ".join(labels)}')
        self.note_toggles(labels)
        self.screen.activate(main.xid)
        self.click(main.xid, main.x + self.menu_offsets[name], main.y + frames.MENU_BAR_HEIGHT // 2)
        if not self.wait_menus(1):
            self.log('  (no menu opened)')
            return
        self.choose_in_menu(path, titled=False)

    def open_menu_only(self, name):
        """Opens a menu of the menu bar and closes it again with Escape."""
        main = self.view().main
        if not main or not self.menu_offsets:
            return
        self.log(f'menu {name}, then Escape')
        self.screen.activate(main.xid)
        self.click(main.xid, main.x + self.menu_offsets[name], main.y + frames.MENU_BAR_HEIGHT // 2)
        if self.wait_menus(1):
            self.input.keys('Escape')
        else:
            self.log('  (no menu opened)')

    def labels_of(self, items, path):
        item = items[path[0]]
        if isinstance(item, tuple):
            return [item[0], item[1][path[1]]] if len(path) > 1 else [item[0]]
        return [item]

    def note_toggles(self, labels):
        if labels[-1] == 'Left button panel':
            self.panel_shown = not self.panel_shown
        elif labels[-1] == 'Bottom terminal':
            self.terminal_shown = not self.terminal_shown

    def popup_item(self, where, x, y, items, xid):
        path, labels = self.random_path(items)
        self.log(f'pop-up menu of the {where} at {x},{y} > {" > ".join(labels)}')
        self.screen.activate(xid)
        self.click(xid, x, y, button=3)
        if not self.wait_menus(1):
            self.log('  (no menu opened)')
            return
        self.choose_in_menu(path, titled=True)

    # ---- the actions -------------------------------------------------------------------------

    def act(self):
        """Does one random action, chosen by what is on the screen."""
        view = self.view()
        if not view.main:
            return
        if self.screen.menus(self.pid):
            self.log('a menu is still open: Escape')
            self.input.keys('Escape', 'Escape')
            return
        notice = view.first('notice')
        if notice:
            # The window manager still moves and resizes the frame behind a notice.
            if self.rng.random() < 0.08:
                return self.window_manager_shape(view)
            return self.answer_notice(notice)
        choices = [(self.random_menu_bar_item, 22), (self.type_in_main, 14), (self.keys_in_main, 10),
                   (self.mouse_in_main, 6), (self.panel_button, 10), (self.main_popup, 6), (self.shortcut, 8),
                   (self.terminal_action, 4), (self.tool_with_prompt, 8), (self.compile_and_step, 3),
                   (self.window_manager_close, 2), (self.open_project, 2), (self.window_manager_shape, 2),
                   (self.drag_divider, 2), (self.another_program, 1)]
        for kind, action, weight in (('open', self.file_dialog, 30), ('save-as', self.file_dialog, 30),
                                     ('configuration', self.configuration_dialog, 30),
                                     ('print options', self.configuration_dialog, 30),
                                     ('font', self.font_dialog, 30), ('help', self.help_window, 4),
                                     ('results', self.results_window, 10), ('project', self.project_window, 16)):
            if view.first(kind):
                choices.append((lambda v, a=action, k=kind: a(v, k), weight))
        r = self.rng.uniform(0, sum(w for _, w in choices))
        for action, weight in choices:
            r -= weight
            if r <= 0:
                return action(view)
        return choices[-1][0](view)

    def answer_notice(self, notice):
        r = self.rng.random()
        if r < 0.1:
            self.log('notice: closed through the window manager')
            self.screen.close(notice.xid)
        elif r < 0.2:
            self.log('notice: Escape')
            self.screen.activate(notice.xid)
            self.input.keys('Escape')
        elif r < 0.45:
            self.log('notice: Return (the default button)')
            self.screen.activate(notice.xid)
            self.input.keys('Return')
        else:
            tabs = self.rng.randint(0, 3)
            self.log(f'notice: Tab x{tabs}, space (a random button)')
            self.screen.activate(notice.xid)
            self.input.keys(*(['Tab'] * tabs), 'space')

    def random_menu_bar_item(self, view):
        name = self.pick(frames.MENU_BAR_ORDER)
        path, labels = self.random_path(frames.MENU_BAR[name])
        # QUIT and New frame end or crowd the session: rarer than the rest.
        if labels[-1] in ('QUIT', 'New frame') and self.rng.random() < 0.8:
            return
        self.menu_bar_item(name, path, labels)

    def focus_main_text(self, view):
        layout = self.layout(view)
        x, y = layout.text_point(self.rng)
        self.screen.activate(view.main.xid)
        self.click(view.main.xid, x, y)
        return x, y

    def type_in_main(self, view):
        text = self.text()
        self.log(f'type in the editor: {text!r}')
        self.focus_main_text(view)
        self.input.type(text)

    def keys_in_main(self, view):
        keys = [self.pick(EDIT_KEYS) for _ in range(self.rng.randint(1, 6))]
        self.log(f'keys in the editor: {" ".join(keys)}')
        self.focus_main_text(view)
        self.input.keys(*keys)

    def mouse_in_main(self, view):
        layout = self.layout(view)
        x1, y1 = layout.text_point(self.rng)
        r = self.rng.random()
        self.screen.activate(view.main.xid)
        if r < 0.5:
            x2, y2 = layout.text_point(self.rng)
            self.log(f'drag a selection in the editor from {x1},{y1} to {x2},{y2}')
            self.drag(view.main.xid, x1, y1, x2, y2)
        else:
            count = 2 if r < 0.8 else 3
            self.log(f'{count} clicks in the editor at {x1},{y1}')
            self.click(view.main.xid, x1, y1, count=count)

    def panel_button(self, view):
        if not self.panel_shown:
            return
        index = self.rng.randrange(len(frames.MAIN_PANEL_BUTTONS))
        if frames.MAIN_PANEL_BUTTONS[index] == 'QUIT' and self.rng.random() < 0.8:
            return
        x, y = self.layout(view).panel_button(index)
        count = self.clicks()
        self.log(f'panel button {frames.MAIN_PANEL_BUTTONS[index]} at {x},{y}' + (' twice' if count == 2 else ''))
        self.screen.activate(view.main.xid)
        self.click(view.main.xid, x, y, count=count)

    def clicks(self):
        """One click, or now and then two in quick succession, as an impatient user gives."""
        return 2 if self.rng.random() < 0.15 else 1

    def main_popup(self, view):
        layout = self.layout(view)
        if self.rng.random() < 0.7 or not self.terminal_shown:
            x, y = layout.text_point(self.rng)
            self.popup_item('editor', x, y, frames.TEXT_TOOLS, view.main.xid)
        else:
            x, y = layout.terminal_point(self.rng)
            self.popup_item('terminal', x, y, frames.TERMINAL_TOOLS, view.main.xid)

    def shortcut(self, view):
        key = self.pick(SHORTCUTS)
        if key == 'ctrl+q' and self.rng.random() < 0.8:
            return
        self.log(f'shortcut {key} in the editor')
        self.focus_main_text(view)
        self.input.keys(key)

    def terminal_action(self, view):
        point = self.layout(view).terminal_point(self.rng)
        if not point:
            return
        self.screen.activate(view.main.xid)
        self.click(view.main.xid, *point)
        r = self.rng.random()
        if r < 0.5:
            line = self.pick(SHELL_LINES)
            self.log(f'type in the terminal: {line!r}')
            self.input.type(line)
        elif r < 0.8:
            keys = [self.pick(['ctrl+c', 'ctrl+shift+c', 'ctrl+shift+v', 'F8', 'shift+F8', 'Up', 'Down', 'a', 'BackSpace'])
                    for _ in range(self.rng.randint(1, 3))]
            self.log(f'keys in the terminal: {" ".join(keys)}')
            self.input.keys(*keys)
        else:
            x2, y2 = self.layout(view).terminal_point(self.rng)
            self.log(f'drag a selection in the terminal from {point} to {x2},{y2}')
            self.drag(view.main.xid, *point, x2, y2)

    def tool_with_prompt(self, view):
        """A text tool that asks in a prompt field: the item, then an answer and Return (or not)."""
        tool = self.pick([('Tools', [3, 0], ['Find', 'searching forward']),
                          ('Tools', [3, 1], ['Find', 'searching backward']),
                          ('Tools', [0], ['Line number']), ('Tools', [5], ['Replace']),
                          ('Tools', [6, 0], ['Special', 'Column add/del']),
                          ('Tools', [6, 1], ['Special', 'Grep']), ('Tools', [6, 2], ['Special', 'Diff'])])
        if self.rng.random() < 0.5:
            self.mouse_in_main(view)
        self.menu_bar_item(tool[0], tool[1], tool[2])
        time.sleep(0.2)
        if self.rng.random() < 0.85:
            self.answer_prompt(self.pick(PROMPT_WORDS))
            if tool[2][-1] == 'Replace' and self.rng.random() < 0.8:
                time.sleep(0.2)
                answer = self.pick(PROMPT_WORDS)
                self.log(f'  the replacement: {answer!r}, Return')
                self.input.type(answer)
                self.input.keys('Return')

    def answer_prompt(self, text):
        """Types into the prompt field that a tool opened (it has the keyboard), then Return."""
        time.sleep(0.2)
        self.log(f'  answer the prompt: {text!r}, Return')
        self.input.keys('ctrl+a')
        self.input.type(text)
        self.input.keys('Return')

    def compile_and_step(self, view):
        self.log('compile (ctrl+F7), then F8 steps')
        self.focus_main_text(view)
        self.input.keys('ctrl+F7')
        time.sleep(self.rng.uniform(0.3, 2.0))
        steps = self.rng.randint(1, 4)
        self.log(f'  F8 x{steps}')
        self.screen.activate(view.main.xid)
        self.input.keys(*(['F8'] * steps))

    def window_manager_close(self, view):
        target = self.pick(view.windows)
        if target.xid == view.main.xid and self.rng.random() < 0.7:
            return
        self.log(f'close {target} through the window manager')
        self.screen.close(target.xid)

    def window_manager_shape(self, view):
        """Resizes, moves, or minimises and restores a window through the window manager."""
        target = view.main if self.rng.random() < 0.6 else self.pick(view.windows)
        r = self.rng.random()
        if r < 0.5:
            width, height = self.rng.randint(450, 1200), self.rng.randint(350, 980)
            self.log(f'resize {target} to {width}x{height}')
            self.input.run('windowsize', target.xid, width, height)
        elif r < 0.75:
            x, y = self.rng.randint(0, 500), self.rng.randint(0, 300)
            self.log(f'move {target} to {x},{y}')
            self.input.run('windowmove', target.xid, x, y)
        else:
            self.log(f'minimise {target}, then restore it')
            self.input.run('windowminimize', target.xid)
            time.sleep(self.rng.uniform(0.05, 0.5))
            self.screen.activate(target.xid)

    def open_project(self, view):
        """The open dialog, the project file chosen in its list, Return."""
        name = 'demo.project' if self.rng.random() < 0.7 else 'all.project'
        self.log(f'open a project file: open dialog, {name}, Return')
        self.screen.activate(view.main.xid)
        self.input.keys('ctrl+o')
        time.sleep(0.5)
        dialog = self.view().first('open')
        if dialog:
            self.choose_file_in_list(dialog, name)
            self.input.keys('Return')


    def drag_divider(self, view):
        """Drags the divider above the terminal up or down, within the heights no least height
        of either pane holds back."""
        layout = self.layout(view)
        if not self.terminal_shown:
            return
        x, y = layout.divider_point(self.rng)
        below = self.rng.randint(int(layout.h * 0.2), int(layout.h * 0.6))
        to = layout.top + layout.h - below + frames.DIVIDER_HEIGHT // 2
        self.log(f'drag the divider from {x},{y} to {x},{to}')
        self.screen.activate(view.main.xid)
        self.drag(view.main.xid, x, y, x, to)
        self.divider_below = below

    def another_program(self, view):
        """Another program changes a file of the folder: it appends a line, rewrites it in place,
        replaces it by a new file under the same name, or only touches it."""
        name = self.pick(['broken.c', 'main.c', 'util.c', 'util.h', 'notes.txt', 'saved.c'])
        path = os.path.join(self.session.work, name)
        if not os.path.exists(path):
            return
        how = self.pick(['append', 'rewrite', 'replace', 'touch'])
        self.log(f'another program: {how} {name}')
        self.changed_outside.add(name)
        try:
            if how == 'append':
                with open(path, 'a') as f:
                    f.write('/* added by another program */\n')
            elif how == 'rewrite':
                with open(path, 'r+b') as f:
                    data = f.read()
                    f.seek(0)
                    f.write(data.replace(b'int', b'long', 1))
                    f.truncate()
            elif how == 'replace':
                with open(path, 'rb') as f:
                    data = f.read()
                spare = path + '.other'
                with open(spare, 'wb') as f:
                    f.write(b'/* replaced */\n' + data)
                self.session.give_to_tsl(spare)
                os.rename(spare, path)
            else:
                os.utime(path)
        except OSError as e:
            self.log(f'  ({e})')
