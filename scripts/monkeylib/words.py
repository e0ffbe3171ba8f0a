"""What the monkey types and chooses from: words and pieces of C for the editors, keys, harmless
shell commands, answers for prompts, names for the file dialogs and texts for dialog fields.
Nothing here is harmful when a held string reaches the shell."""

WORDS = ['int', 'x', 'y', 'count', 'main', 'printf', 'return', 'value', 'foo', 'bar', 'add', '0', '1', '42',
         'char', 'void', 'if', 'while', 'twice', 'util', 'sum']
PIECES = ['(', ')', '{', '}', ';', ' = ', ' + ', ' ', ' ', '\n', '\n', '\t', '"hi"', '// note', '/* c */', ',',
          'é', 'ü', '€']
EDIT_KEYS = ['Left', 'Right', 'Up', 'Down', 'Home', 'End', 'BackSpace', 'Delete', 'Return', 'Tab', 'Page_Up',
             'Page_Down', 'shift+Left', 'shift+Right', 'shift+Up', 'shift+Down', 'shift+End', 'shift+Home',
             'ctrl+Home', 'ctrl+End', 'ctrl+shift+End', 'ctrl+Left', 'ctrl+Right', 'ctrl+a', 'ctrl+c', 'ctrl+v',
             'ctrl+x', 'ctrl+z', 'ctrl+y']
SHORTCUTS = ['ctrl+s', 'ctrl+f', 'F3', 'shift+F3', 'ctrl+g', 'ctrl+h', 'ctrl+z', 'ctrl+F7', 'F8', 'F8', 'shift+F8',
             'ctrl+o', 'ctrl+shift+s', 'ctrl+F5', 'ctrl+q']
# Typed into the terminal's shell: harmless commands only.
SHELL_LINES = ['ls\n', 'echo hello\n', 'pwd\n', 'true\n', 'cat notes.txt\n', 'ls -l\n', 'make\n', 'echo $HOME\n',
               'cat long.c\n', 'grep value *\n', 'sleep 3\n', 'seq 100000\n']
PROMPT_WORDS = ['main', 'count', 'x', 'add', 'printf', '12', '3', '1', '0', '//', 'int', 'zzz', '', 'util', '999']
FILE_PREFIXES = ['broken.c', 'main.c', 'util.c', 'util.h', 'Makefile', 'notes.txt', 'demo.project', 'long.c',
                 'all.project', 'readonly.c', 'bytes.dat', 'empty.txt', 'b', 'm', 'u', 'n', 'd', 'l', 'a', 'r', 'e',
                 'saved']
FIELD_TEXT = ['printer.pipe', 'gcc -Wall -o * *#', 'make', '*#:%', '.c .h', './*', 'printed.txt', 'cat *#', 'y', 'n', 'C (gcc)',
              'x', 'echo *', ' ', 'lp *#', '"*#", line %']
