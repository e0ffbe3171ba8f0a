"""What the monkey knows of tsl's windows: which window is which (by title), where the panes and
buttons of the main frame, the project windows and the Compiler Results window lie (from the
window's own geometry and the program's layout rules), and the menus with their items."""

MENU_BAR_HEIGHT = 25
SCREEN_WIDTH, SCREEN_HEIGHT = 1280, 1024
PROJECT_BAR_HEIGHT = 34

# The menus: an item is a label, or (label, [items]) for a submenu.
CONFIGURATIONS = [f'configuration {k}' for k in range(24)]
FIND_DIRECTIONS = ['searching forward', 'searching backward']
SPECIAL = ['Column add/del', 'Grep', 'Diff']
EXECUTE = ['Compile current file', 'Run Xwin application', 'Run in foreground', 'Break execution']

MENU_BAR = {
    'File': ['New frame', 'Clear window', 'Open', 'Save', 'Save as', 'Print',
             ('Formatted print', ['Print preformatted', 'Print all', 'Print odd pages', 'Print even pages']),
             'QUIT'],
    'Tools': ['Line number', 'Undo all', 'Undo', ('Find', FIND_DIRECTIONS), ('Find next', FIND_DIRECTIONS),
              'Replace', ('Special', SPECIAL), 'Cut string', 'Copy string', 'Insert string'],
    'Options': [('Hide/show', ['Left button panel', 'Bottom terminal']),
                ('Choose configuration', CONFIGURATIONS), 'Edit configuration', 'Edit print options',
                'Choose font'],
    'Execute': EXECUTE,
    'Help': ['Copyright', 'About', 'Quick introduction', 'Summary', 'WWW home page'],
}
MENU_BAR_ORDER = ['File', 'Tools', 'Options', 'Execute', 'Help']

TEXT_TOOLS = ['Undo', ('Find', FIND_DIRECTIONS), 'Replace', ('Special', SPECIAL), 'Cut string', 'Copy string',
              'Insert string']
TERMINAL_TOOLS = ['Grep', 'Copy string', 'Insert string']
PROJECT_TOOLS = ['Save', 'Line number', 'Find', 'Cut', 'Copy', 'Insert']

MAIN_PANEL_BUTTONS = ['Open', 'Save', 'QUIT', 'Line number', 'Find forward', 'Find backward', 'Find next forward',
                      'Find next backward', 'Cut string', 'Copy string', 'Insert string', 'Compile', 'Run',
                      'Run in foreground']
PROJECT_BUTTONS = ['Save', 'Line number', 'Find', 'Cut string', 'Copy string', 'Insert string', 'Close']
RESULTS_BUTTONS = ['Previous message', 'First message', 'Next message', 'Last message', 'Run',
                   'Run in foreground', 'Compile', 'Close']

DIALOG_TITLES = {
    'Notice': 'notice',
    'Select a file to open': 'open',
    'Choose a filename to save': 'save-as',
    'Edit configuration': 'configuration',
    'Edit print configuration': 'print options',
    'Set font': 'font',
    'Compiler Results': 'results',
}


# Windows that stay above the main frame when it is raised (its dialogs, notices and the
# Compiler Results window).
COVERING = ('notice', 'open', 'save-as', 'configuration', 'print options', 'font', 'results')
# Windows that keep the keyboard from the main frame while they are up.
MODAL = ('notice', 'open', 'save-as', 'configuration', 'print options', 'font')
DIVIDER_HEIGHT = 5


def kind_of(window, main_xid):
    if window.xid == main_xid:
        return 'main'
    if window.title in DIALOG_TITLES:
        return DIALOG_TITLES[window.title]
    if window.title.startswith('Help: '):
        return 'help'
    return 'project'


class View:
    """tsl's windows at one moment, sorted by kind."""

    def __init__(self, windows, main_xid):
        self.windows = windows
        self.by_kind = {}
        for w in windows:
            self.by_kind.setdefault(kind_of(w, main_xid), []).append(w)

    def first(self, kind):
        found = self.by_kind.get(kind)
        return found[0] if found else None

    def all(self, kind):
        return self.by_kind.get(kind, [])

    @property
    def main(self):
        return self.first('main')

    def describe(self):
        return ', '.join(f'{kind}:{len(ws)}' for kind, ws in sorted(self.by_kind.items()))


class MainLayout:
    """Where the parts of the main frame lie, from its size and what is shown (the layout rules
    of the work area: the panel left, the editor right of it over four fifths of the height, the
    logo and the terminal below, or where the divider between them was dragged to)."""

    def __init__(self, main, panel_shown, terminal_shown, divider_below=None):
        self.main = main
        self.w = main.width
        self.h = main.height - MENU_BAR_HEIGHT
        self.top = main.y + MENU_BAR_HEIGHT
        self.panel_shown = panel_shown
        self.terminal_shown = terminal_shown
        # A dragged divider keeps its distance from the bottom; the panel then takes the text
        # pane's height. The monkey drags it only where no least height holds it back.
        moved = None
        if terminal_shown and divider_below is not None:
            # The least heights: the panel's (two lines without it) above, two terminal lines below.
            lowest_text, highest = (180 if panel_shown else 30), self.h - 40
            if highest >= lowest_text:
                moved = min(max(self.h - divider_below, lowest_text), highest)
        available = moved if moved is not None else (self.h * 4) // 5 if terminal_shown else self.h
        if available > 399:
            self.columns, self.column_gap, self.row_gap, self.panel_width = 1, 0, (available - 350) // 16, 34
        else:
            self.columns, self.column_gap, self.row_gap, self.panel_width = 2, 7, int((available - 180) / 8), 68
        if not panel_shown:
            self.panel_width = 0
        self.text_height = moved if moved is not None else (self.h // 5) * 4 if terminal_shown else self.h
        self.logo_width = (self.h * 215) // 700

    def panel_button(self, index):
        """The centre of button `index` of the panel (24 x 22 buttons, 4 pixels from the top)."""
        left = (self.panel_width - self.columns * 24 - (self.columns - 1) * self.column_gap) // 2
        column, row = index % self.columns, index // self.columns
        x = self.main.x + left + column * (24 + self.column_gap) + 12
        y = self.top + 4 + row * (22 + self.row_gap) + 11
        return x, y

    def text_point(self, rng):
        x0 = self.main.x + self.panel_width + 50  # right of the line numbers
        x1 = self.main.x + self.w - 20
        return rng.randint(x0, max(x0, x1)), rng.randint(self.top + 5, self.top + max(5, self.text_height - 20))

    def terminal_point(self, rng):
        if not self.terminal_shown:
            return None
        x0 = self.main.x + self.logo_width + 10
        y0 = self.top + self.text_height + DIVIDER_HEIGHT + 8
        return rng.randint(x0, max(x0, self.main.x + self.w - 25)), rng.randint(y0, max(y0, self.top + self.h - 10))

    def divider_point(self, rng):
        """A point on the strip above the terminal."""
        x0 = self.main.x + self.logo_width + 10
        return rng.randint(x0, max(x0, self.main.x + self.w - 25)), self.top + self.text_height + DIVIDER_HEIGHT // 2


def project_button(window, index):
    return window.x + 4 + index * 28 + 12, window.y + 6 + 11


def project_text_point(window, rng):
    return (rng.randint(window.x + 50, window.x + max(51, window.width - 20)),
            rng.randint(window.y + PROJECT_BAR_HEIGHT + 5, window.y + max(PROJECT_BAR_HEIGHT + 6, window.height - 20)))


def results_button(window, index):
    left = window.x + window.width - 68 + 7
    return left + (index % 2) * 30 + 12, window.y + 4 + (index // 2) * 28 + 11


def results_text_point(window, rng):
    return (rng.randint(window.x + 10, window.x + max(11, window.width - 90)),
            rng.randint(window.y + 10, window.y + max(11, window.height - 40)))
