"""The monkey's world: a scratch folder with a few real files and its own HOME, a virtual display
with a window manager, tsl started in it, and the cleanup that ends every process the run started
(each carries the run's marker in its environment, so that even the shell's children are found)."""

import os
import shutil
import signal
import stat
import subprocess
import tempfile
import time

from . import xscreen

BROKEN_C = """\
#include <stdio.h>

/* Two errors on purpose: the compiler's messages lead to them. */
static int twice(int n)
{
    return n * 2
}

int main(void)
{
    int count = twice(21);
    printf("%d\\n", cuont);
    return 0;
}
"""

MAIN_C = """\
#include <stdio.h>
#include "util.h"

int main(void)
{
    printf("%d\\n", add(2, 3));
    return 0;
}
"""

UTIL_C = """\
#include "util.h"

int add(int a, int b)
{
    return a + b;
}
"""

UTIL_H = """\
int add(int a, int b);
"""

MAKEFILE = """\
prog: main.c util.c util.h
\tgcc -Wall -o prog main.c util.c

run: prog
\t./prog
"""

NOTES = """\
Notes for the project.
add() sums two numbers; main prints the sum.
"""

# The further files of the project file: the first line is the main window's file.
PROJECT = "main.c\nutil.c\nutil.h\n"

NOBODY = 65534

SANITIZER_PATTERNS = ('ERROR: AddressSanitizer', 'ERROR: LeakSanitizer', 'runtime error:',
                      'WARNING: ThreadSanitizer', 'ERROR: UndefinedBehaviorSanitizer', 'AddressSanitizer:DEADLYSIGNAL')


class Session:
    """Everything one run of the monkey starts, and the cleanup that ends it again."""

    def __init__(self, top, binary, display_number, keep):
        self.top = top
        self.binary = binary
        self.keep = keep
        self.marker = f'tsl-monkey-{os.getpid()}-{int(time.time())}'
        self.scratch = tempfile.mkdtemp(prefix='tsl-monkey-')
        # tsl works in work; the folder above it is the fence it must not leave (see outside_fence).
        self.fence = os.path.join(self.scratch, 'desk')
        self.work = os.path.join(self.fence, 'work')
        self.home = os.path.join(self.scratch, 'home')
        self.bin = os.path.join(self.scratch, 'bin')
        self.display_number = display_number
        self.new_frame_errors = os.path.join(self.scratch, 'run', 'new-frame.err')
        # Run as root, tsl runs as nobody: whatever the clicks do, it can write only into the
        # scratch folder's work and home (and folders that anyone may write to).
        self.as_nobody = os.geteuid() == 0
        self.display = None
        self.processes = []
        self.tsl = None
        self.tsl_count = 0
        self.screen = None

    # ---- the scratch folder ------------------------------------------------------------------

    def prepare_files(self):
        for folder in (self.work, self.home, self.bin, os.path.join(self.home, '.config'),
                       os.path.join(self.home, '.local', 'share'), os.path.join(self.home, '.local', 'state'),
                       os.path.join(self.home, '.cache'), os.path.join(self.scratch, 'run')):
            os.makedirs(folder, exist_ok=True)
        os.chmod(os.path.join(self.scratch, 'run'), 0o700)
        # The broken file ends in a long table: longer than a pipe holds, so that printing it waits
        # for the printer's reader.
        table = ''.join(f'    {n}, {n * n}, {n * 3 + 1}, /* row {n} of the table */\n' for n in range(2500))
        broken = BROKEN_C + '\nstatic const int table[] = {\n' + table + '};\n'
        files = {'broken.c': broken, 'main.c': MAIN_C, 'util.c': UTIL_C, 'util.h': UTIL_H,
                 'Makefile': MAKEFILE, 'notes.txt': NOTES, 'demo.project': PROJECT}
        files['empty.txt'] = ''
        # Every file of the folder in one project, one name that does not exist at its end.
        files['all.project'] = ''.join(n + '\n' for n in ('notes.txt', 'main.c', 'util.c', 'util.h', 'Makefile',
                                                           'broken.c', 'long.c', 'readonly.c', 'bytes.dat',
                                                           'empty.txt', 'missing.c'))
        for name, text in files.items():
            with open(os.path.join(self.work, name), 'w') as f:
                f.write(text)
        # A file that may not be written, and one of bytes that are not text.
        readonly = os.path.join(self.work, 'readonly.c')
        with open(readonly, 'w') as f:
            f.write(MAIN_C)
        os.chmod(readonly, 0o444)
        with open(os.path.join(self.work, 'bytes.dat'), 'wb') as f:
            f.write(b'text\0with NUL\r\n\xff\xfe not UTF-8 \xc3\x28\n' * 50)
        # A long file, more than a pipe holds, for printing and for the tools.
        with open(os.path.join(self.work, 'long.c'), 'w') as f:
            f.write('/* A long file. */\n')
            for n in range(3000):
                f.write(f'int value{n} = {n}; /* the value number {n} of the long file */\n')
        # The printer device is a named pipe to a spooler that reads the start of each job and
        # stops, as a spooler that rejects a job does.
        self.printer = os.path.join(self.work, 'printer.pipe')
        os.mkfifo(self.printer)
        with open(os.path.join(self.top, 'share', 'tsl', 'tslrc')) as f:
            configuration = f.read()
        with open(os.path.join(self.home, '.tslrc'), 'w') as f:
            f.write(configuration.replace('\n/dev/usb/lp0\n', f'\n{self.printer}\n'))
        # "New frame" types "tsl &" into the terminal: that copy runs for a short while, with its
        # sanitizer reports kept beside the others.
        wrapper = os.path.join(self.bin, 'tsl')
        with open(wrapper, 'w') as f:
            f.write('#!/bin/sh\n'
                    f'exec timeout -s KILL 20 "{self.binary}" "$@" 2>> "{self.new_frame_errors}"\n')
        os.chmod(wrapper, stat.S_IRWXU | stat.S_IRGRP | stat.S_IXGRP | stat.S_IROTH | stat.S_IXOTH)
        if self.as_nobody:
            os.chmod(self.scratch, 0o755)  # the logs and tsl's output stay root's
            for folder in (self.fence, self.home, self.bin, os.path.join(self.scratch, 'run')):
                for top, folders, names in os.walk(folder):
                    for name in [top] + [os.path.join(top, n) for n in folders + names]:
                        os.chown(name, NOBODY, NOBODY)

    def environment(self):
        env = {k: v for k, v in os.environ.items()
               if k not in ('SESSION_MANAGER', 'DBUS_SESSION_BUS_ADDRESS', 'XAUTHORITY', 'WAYLAND_DISPLAY')}
        env.update({
            'TSL_MONKEY_MARKER': self.marker,
            'HOME': self.home,
            'XDG_CONFIG_HOME': os.path.join(self.home, '.config'),
            'XDG_DATA_HOME': os.path.join(self.home, '.local', 'share'),
            'XDG_STATE_HOME': os.path.join(self.home, '.local', 'state'),
            'XDG_CACHE_HOME': os.path.join(self.home, '.cache'),
            'XDG_RUNTIME_DIR': os.path.join(self.scratch, 'run'),
            'PATH': self.bin + ':/usr/local/bin:/usr/bin:/bin',
            'SHELL': '/bin/bash',
            'LANG': 'C.UTF-8',
            'LC_ALL': 'C.UTF-8',
            'QT_QPA_PLATFORM': 'xcb',
            'QT_ACCESSIBILITY': '0',
            'NO_AT_BRIDGE': '1',
            'ASAN_OPTIONS': 'detect_leaks=0:abort_on_error=0:halt_on_error=1:detect_stack_use_after_return=0',
            'UBSAN_OPTIONS': 'print_stacktrace=1:halt_on_error=0',
        })
        if self.display:
            env['DISPLAY'] = self.display
        return env

    # ---- processes ---------------------------------------------------------------------------

    def _spawn(self, args, **kwargs):
        process = subprocess.Popen(args, env=self.environment(), start_new_session=True, **kwargs)
        self.processes.append(process)
        return process

    def start_display(self):
        if self.display_number is None:
            reader, writer = os.pipe()
            self._spawn(['Xvfb', '-displayfd', str(writer), '-screen', '0', '1280x1024x24', '-nolisten', 'tcp'],
                        pass_fds=(writer,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            os.close(writer)
            number = b''
            while not number.endswith(b'\n'):
                chunk = os.read(reader, 16)
                if not chunk:
                    raise RuntimeError('Xvfb did not start')
                number += chunk
            os.close(reader)
            self.display = ':' + number.decode().strip()
        else:
            self.display = f':{self.display_number}'
            if self._display_in_use():
                raise RuntimeError(f'display {self.display} is in use')
            self._spawn(['Xvfb', self.display, '-screen', '0', '1280x1024x24', '-nolisten', 'tcp'],
                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 20
        while True:
            try:
                self.screen = xscreen.Screen(self.display)
                break
            except Exception:
                if time.monotonic() > deadline:
                    raise RuntimeError(f'cannot reach the display {self.display}')
                time.sleep(0.2)
        self._spawn(['openbox', '--sm-disable'], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 20
        while not self.screen.window_manager_running():
            if time.monotonic() > deadline:
                raise RuntimeError('openbox did not start')
            time.sleep(0.2)

    def _display_in_use(self):
        # The X server's lock file names its process; Xvfb itself clears a lock whose process is gone.
        try:
            with open(f'/tmp/.X{self.display_number}-lock') as f:
                pid = int(f.read().strip())
        except (OSError, ValueError):
            return False
        return os.path.exists(f'/proc/{pid}')

    def start_spooler(self):
        self._spawn(['sh', '-c', 'while :; do head -c 4096 "$0" > /dev/null; sleep 0.2; done', self.printer],
                    stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def start_tsl(self, name='broken.c'):
        """Starts a fresh tsl on file `name`; returns its process."""
        self.tsl_count += 1
        n = self.tsl_count
        self.out_path = os.path.join(self.scratch, f'tsl-{n}.out')
        self.err_path = os.path.join(self.scratch, f'tsl-{n}.err')
        prefix = ['setpriv', f'--reuid={NOBODY}', f'--regid={NOBODY}', '--clear-groups'] if self.as_nobody else []
        self.tsl = self._spawn(prefix + [self.binary, name], cwd=self.work, stdin=subprocess.DEVNULL,
                               stdout=open(self.out_path, 'wb'), stderr=open(self.err_path, 'wb'))
        return self.tsl

    def give_to_tsl(self, path):
        """Makes a file the monkey wrote belong to the user tsl runs as."""
        if self.as_nobody:
            os.chown(path, NOBODY, NOBODY)

    def cwd(self):
        try:
            return os.readlink(f'/proc/{self.tsl.pid}/cwd')
        except OSError:
            return None

    def outside_fence(self):
        """The folder tsl works in when the file dialogs have taken it out of the scratch folder's
        desk (clicks on the parent entry of their lists), else None."""
        folder = self.cwd()
        return None if folder is None or (folder + '/').startswith(self.fence + '/') else folder

    def screenshot(self, name):
        try:
            subprocess.run(['import', '-window', 'root', os.path.join(self.scratch, name)], env=self.environment(),
                           timeout=30, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        except (OSError, subprocess.TimeoutExpired):
            pass

    def read(self, path):
        try:
            with open(path, 'rb') as f:
                return f.read().decode('utf-8', 'replace')
        except OSError:
            return ''

    def said_farewell(self):
        return 'Thanks for using tsl.' in self.read(self.out_path)

    def sanitizer_report(self):
        """The sanitizer's report in tsl's standard error (or a new frame's), if there is one."""
        for path in (self.err_path, self.new_frame_errors):
            text = self.read(path)
            for pattern in SANITIZER_PATTERNS:
                at = text.find(pattern)
                if at >= 0:
                    start = text.rfind('\n', 0, max(0, at - 200)) + 1
                    return f'{os.path.basename(path)}:\n' + text[start:start + 6000]
        return None

    def _marked_pids(self):
        pids = []
        needle = ('TSL_MONKEY_MARKER=' + self.marker).encode()
        for entry in os.listdir('/proc'):
            if not entry.isdigit() or int(entry) == os.getpid():
                continue
            try:
                with open(f'/proc/{entry}/environ', 'rb') as f:
                    if needle in f.read().split(b'\0'):
                        pids.append(int(entry))
            except OSError:
                continue
        return pids

    def stop_tsl_processes(self):
        """Ends tsl and everything its shell started, keeping the display and window manager."""
        keep = {p.pid for p in self.processes if p is not self.tsl and p.poll() is None}
        self._end([pid for pid in self._marked_pids() if pid not in keep])

    def _end(self, pids):
        for sig in (signal.SIGTERM, signal.SIGKILL):
            for pid in pids:
                try:
                    os.kill(pid, sig)
                except OSError:
                    pass
            deadline = time.monotonic() + 2
            while time.monotonic() < deadline and any(os.path.exists(f'/proc/{pid}') for pid in pids):
                for p in self.processes:
                    p.poll()
                time.sleep(0.05)

    def cleanup(self, found):
        if self.screen:
            self.screen.close_connection()
        self._end(self._marked_pids())
        for p in self.processes:
            try:
                p.wait(timeout=2)
            except subprocess.TimeoutExpired:
                pass
        if not found and not self.keep:
            shutil.rmtree(self.scratch, ignore_errors=True)
