"""The monkey's actions in tsl's dialogs and further windows: the file dialogs, the configuration
dialogs and the font chooser, the help window, the Compiler Results window and project windows.
A part of the Monkey class (actions.py), kept in a file of its own."""

from . import frames
from .words import EDIT_KEYS, FIELD_TEXT, FILE_PREFIXES


class WindowActions:
    def choose_file_in_list(self, dialog, prefix):
        # The list is the second item that takes the keyboard. End first: the last row is always a
        # file of the scratch folder, never the parent entry, so Return never leaves the folder.
        self.screen.activate(dialog.xid)
        self.input.keys('Tab')
        self.input.keys('End')
        self.input.type(prefix)

    def file_dialog(self, view, kind):
        dialog = view.first(kind)
        r = self.rng.random()
        if r < 0.15:
            self.log(f'{kind} dialog: closed through the window manager')
            self.screen.close(dialog.xid)
        elif r < 0.25:
            self.log(f'{kind} dialog: Escape')
            self.screen.activate(dialog.xid)
            self.input.keys('Escape')
        elif kind == 'save-as' and r < 0.6:
            name = self.pick(['saved.c', 'saved.txt', 'copy.c', 'notes.txt', 'saved2.c'])
            self.log(f'save-as dialog: file name {name!r}, Return')
            self.screen.activate(dialog.xid)
            # The name field follows the list, OK and cancel.
            self.input.keys('Tab', 'Tab', 'Tab', 'Tab', 'ctrl+a')
            self.input.type(name)
            self.input.keys('Return')
        elif r < 0.8:
            prefix = self.pick(FILE_PREFIXES)
            self.log(f'{kind} dialog: choose {prefix!r} in the list, Return')
            self.choose_file_in_list(dialog, prefix)
            self.input.keys('Return')
        else:
            tabs = self.rng.randint(1, 7)
            self.log(f'{kind} dialog: Tab x{tabs}, space')
            self.screen.activate(dialog.xid)
            self.input.keys(*(['Tab'] * tabs), 'space')

    # OK and cancel lie side by side at the bottom of these dialogs, at these fractions of the width.
    DIALOG_BUTTONS = {'configuration': (0.37, 0.66), 'print options': (0.37, 0.66), 'font': (0.09, 0.255)}

    def dialog_button(self, dialog, kind, which):
        x = dialog.x + int(self.DIALOG_BUTTONS[kind][0 if which == 'OK' else 1] * dialog.width)
        y = dialog.y + dialog.height - 22
        self.log(f'{kind} dialog: {which} at {x},{y}')
        self.screen.activate(dialog.xid)
        self.click(dialog.xid, x, y)

    def ok_in_configuration_dialog(self, dialog, kind):
        self.dialog_button(dialog, kind, 'OK')

    def configuration_dialog(self, view, kind):
        dialog = view.first(kind)
        r = self.rng.random()
        self.screen.activate(dialog.xid)
        if r < 0.12:
            self.log(f'{kind} dialog: closed through the window manager (cancel)')
            self.screen.close(dialog.xid)
        elif r < 0.22:
            self.dialog_button(dialog, kind, 'cancel')
        elif r < 0.42:
            self.dialog_button(dialog, kind, 'OK')
        elif r < 0.85:
            x, y = dialog.at(0.87, self.rng.uniform(0.05, 0.75))
            text = self.pick(FIELD_TEXT)
            how = self.pick(['replace', 'append', 'append and Return', 'replace and Return'])
            self.log(f'{kind} dialog: click at {x},{y}, {how} {text!r}')
            self.click(dialog.xid, x, y)
            self.input.keys('ctrl+a' if how.startswith('replace') else 'End')
            self.input.type(text)
            if how.endswith('Return'):
                self.input.keys('Return')
            elif self.rng.random() < 0.3:
                keys = self.pick([('ctrl+a', 'ctrl+c'), ('ctrl+v',), ('ctrl+a', 'ctrl+x'), ('ctrl+z',)])
                self.log(f'  keys {" ".join(keys)}')
                self.input.keys(*keys)
        else:
            tabs = self.rng.randint(1, 12)
            self.log(f'{kind} dialog: Tab x{tabs}, space')
            self.input.keys(*(['Tab'] * tabs), 'space')

    def font_dialog(self, view, kind):
        dialog = view.first(kind)
        r = self.rng.random()
        self.screen.activate(dialog.xid)
        if r < 0.12:
            self.log('font dialog: closed through the window manager (cancel)')
            self.screen.close(dialog.xid)
        elif r < 0.25:
            self.dialog_button(dialog, kind, 'cancel')
        elif r < 0.45:
            self.dialog_button(dialog, kind, 'OK')
        else:
            x, y = dialog.at(self.rng.uniform(0.05, 0.95), self.rng.uniform(0.28, 0.7))
            self.log(f'font dialog: click at {x},{y} (a foundry, weight, size or switch)')
            self.click(dialog.xid, x, y)

    def help_window(self, view, kind):
        window = view.first(kind)
        if self.rng.random() < 0.6:
            self.log('help window: closed through the window manager')
            self.screen.close(window.xid)
        else:
            x, y = window.at(self.rng.uniform(0.1, 0.8), self.rng.uniform(0.1, 0.9))
            self.log(f'help window: drag a selection at {x},{y}, ctrl+c')
            self.screen.activate(window.xid)
            self.drag(window.xid, x, y, x + self.rng.randint(-100, 100), y + self.rng.randint(0, 60))
            self.input.keys('ctrl+c')

    def results_window(self, view, kind):
        window = view.first(kind)
        r = self.rng.random()
        self.screen.activate(window.xid)
        if r < 0.6:
            index = self.rng.randrange(len(frames.RESULTS_BUTTONS))
            x, y = frames.results_button(window, index)
            count = self.clicks()
            self.log(f'results button {frames.RESULTS_BUTTONS[index]} at {x},{y}' + (' twice' if count == 2 else ''))
            self.click(window.xid, x, y, count=count)
        elif r < 0.75:
            x, y = frames.results_text_point(window, self.rng)
            self.log(f'results: double click at {x},{y}')
            self.click(window.xid, x, y, count=2)
        elif r < 0.9:
            x, y = frames.results_text_point(window, self.rng)
            self.popup_item('results pane', x, y, frames.EXECUTE, window.xid)
        else:
            key = self.pick(['F8', 'shift+F8', 'Escape'])
            self.log(f'results: key {key}')
            self.input.keys(key)

    def project_window(self, view, kind):
        window = self.pick(view.all(kind))
        r = self.rng.random()
        self.screen.activate(window.xid)
        if r < 0.3:
            index = self.rng.randrange(len(frames.PROJECT_BUTTONS))
            x, y = frames.project_button(window, index)
            count = self.clicks()
            self.log(f'project window {window.title}: button {frames.PROJECT_BUTTONS[index]} at {x},{y}'
                     + (' twice' if count == 2 else ''))
            self.click(window.xid, x, y, count=count)
        elif r < 0.6:
            x, y = frames.project_text_point(window, self.rng)
            text = self.text()
            self.log(f'project window {window.title}: type at {x},{y}: {text!r}')
            self.click(window.xid, x, y)
            self.input.type(text)
        elif r < 0.75:
            x, y = frames.project_text_point(window, self.rng)
            keys = [self.pick(EDIT_KEYS) for _ in range(self.rng.randint(1, 5))]
            self.log(f'project window {window.title}: keys at {x},{y}: {" ".join(keys)}')
            self.click(window.xid, x, y)
            self.input.keys(*keys)
        elif r < 0.9:
            x, y = frames.project_text_point(window, self.rng)
            self.popup_item(f'project window {window.title}', x, y, frames.PROJECT_TOOLS, window.xid)
        else:
            x1, y1 = frames.project_text_point(window, self.rng)
            x2, y2 = frames.project_text_point(window, self.rng)
            self.log(f'project window {window.title}: drag from {x1},{y1} to {x2},{y2}')
            self.drag(window.xid, x1, y1, x2, y2)
