"""Runs tsl under a virtual display with a window manager and drives it with random but legal
actions for a given time; stops at the first crash (tsl ending without QUIT), sanitizer report or
hang (no answer to the window manager's ping in time). Started by scripts/monkey."""

import argparse
import collections
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

from monkeylib import frames, scenarios  # noqa: E402
from monkeylib.actions import Monkey  # noqa: E402
from monkeylib.session import Session  # noqa: E402


# The files whose text the clipboard carries whole (the rest hold bytes that are not text).
TEXT_FILES = ('broken.c', 'main.c', 'util.c', 'util.h', 'Makefile', 'notes.txt', 'long.c', 'empty.txt', 'saved.c',
              'saved.txt', 'copy.c', 'saved2.c')


class Finding(Exception):
    pass


class Log:
    """Each action with the time since the start, to a file and to the last lines kept for the report."""

    def __init__(self, path):
        self.file = open(path, 'a', buffering=1)
        self.start = time.monotonic()
        self.last = collections.deque(maxlen=40)
        self.count = 0

    def __call__(self, text):
        line = f'{time.strftime("%H:%M:%S")} {time.monotonic() - self.start:9.3f}s  {text}'
        self.file.write(line + '\n')
        self.last.append(line)

    def action(self, text):
        # Steps of an action are indented and carry no number of their own.
        if text.startswith('  '):
            self(f'{"":>5}{text}')
        else:
            self.count += 1
            self(f'#{self.count:<4} {text}')


def signal_name(code):
    if code is None or code >= 0:
        return f'exit status {code}'
    try:
        return f'signal {signal.Signals(-code).name}'
    except ValueError:
        return f'signal {-code}'


def backtrace(pid):
    if not shutil.which('gdb'):
        return '(install gdb for a backtrace of the hung process)'
    try:
        result = subprocess.run(['gdb', '-p', str(pid), '-batch', '-ex', 'thread apply all bt 30'],
                                capture_output=True, text=True, timeout=60)
        return result.stdout[-8000:]
    except (subprocess.TimeoutExpired, OSError) as e:
        return f'(no backtrace: {e})'


class Runner:
    def __init__(self, session, monkey, log, ping_timeout):
        self.session = session
        self.monkey = monkey
        self.log = log
        self.ping_timeout = ping_timeout
        self.sessions = 0
        self.slowest = (0.0, 0)  # the longest answer to a ping, and the action after which it came

    def launch(self, name='broken.c'):
        """Ends what is left of the last tsl and starts a new one on file `name`."""
        self.session.stop_tsl_processes()
        process = self.session.start_tsl(name)
        self.sessions += 1
        self.monkey.pid = process.pid
        self.monkey.panel_shown = self.monkey.terminal_shown = True
        self.monkey.divider_below = None
        self.monkey.changed_outside = set()
        self.log(f'tsl started (pid {process.pid}), on {name}')
        return process

    def start_tsl(self):
        self.launch()
        if not self.monkey.wait_for_main_frame():
            self.check()
            raise Finding('tsl showed no window within 60 s')
        time.sleep(1.0)
        if not self.monkey.menu_offsets:
            main = self.monkey.view().main
            if not self.monkey.calibrate_menu_bar(main):
                self.check()
                raise Finding('the five menu buttons were not found on the menu bar')

    def check(self):
        """Raises Finding on a crash, a sanitizer report or a hang; restarts tsl after a QUIT."""
        process = self.session.tsl
        report = self.session.sanitizer_report()
        if report:
            # The sanitizer ends the process once its report is written: wait for all of it.
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                pass
            report = self.session.sanitizer_report()
        if process.poll() is not None:
            code = process.returncode
            if report:
                raise Finding(f'sanitizer report; tsl ended with {signal_name(code)}\n{report}')
            if code == 0 and self.session.said_farewell():
                self.log('tsl ended through QUIT, with its farewell line; starting it again')
                self.start_tsl()
                return
            err = self.session.read(self.session.err_path)[-3000:]
            raise Finding(f'tsl ended without QUIT: {signal_name(code)}, '
                          f'farewell line {"printed" if self.session.said_farewell() else "missing"}\n'
                          f'its standard error ends with:\n{err}')
        if report:
            raise Finding(f'sanitizer report\n{report}')
        self.keep_inside()
        main = self.monkey.main_xid
        if not main:
            return
        took = self.session.screen.ping(main, self.ping_timeout)
        if took is not None:
            if took > 1:
                self.log(f'(the ping took {took:.1f} s)')
            if took > self.slowest[0]:
                self.slowest = (took, self.log.count)
            return
        if process.poll() is not None:
            return self.check()
        raise Finding(f'hang: no answer to the window manager\'s ping within {self.ping_timeout} s\n'
                      f'{backtrace(process.pid)}')


    def kill_and_restart(self, rng):
        """Ends tsl by a signal, as a crash, a killed session or a power cut does, and starts it
        again: its recovery notices come up. A signal it may catch must leave the one line that
        names it."""
        process = self.session.tsl
        sig = rng.choice([signal.SIGKILL, signal.SIGTERM, signal.SIGHUP])
        self.log.action(f'kill tsl with {sig.name}, then start it again')
        try:
            os.kill(process.pid, sig)
        except OSError:
            pass
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            raise Finding(f'tsl did not end within 10 s of {sig.name}\n{backtrace(process.pid)}')
        report = self.session.sanitizer_report()
        if report:
            raise Finding(f'sanitizer report after {sig.name}\n{report}')
        if sig != signal.SIGKILL:
            line = f'tsl: ended by signal {sig.name}'
            err = self.session.read(self.session.err_path)
            if line not in err:
                raise Finding(f'{sig.name} ended tsl ({signal_name(process.returncode)}) without the line '
                              f'"{line} (...)"; its standard error ends with:\n{err[-3000:]}')
        self.start_tsl()

    def main_text(self):
        """The main pane's whole text, through Ctrl+A, Ctrl+C and the clipboard; None when it
        cannot be had."""
        view = self.monkey.view()
        if not view.main:
            return None
        # Escape first: a prompt left open keeps the keyboard, and Escape gives it back to the pane.
        self.session.screen.activate(view.main.xid)
        self.monkey.input.keys('Escape')
        self.monkey.focus_main_text(view)
        # A window that comes up meanwhile (a new frame's, on the same file) would take the keys.
        if self.session.screen.active() != view.main.xid:
            return None
        self.monkey.input.keys('ctrl+a', 'ctrl+c')
        time.sleep(0.3)
        if self.session.screen.active() != view.main.xid:
            return None
        try:
            result = subprocess.run(['xclip', '-o', '-selection', 'clipboard'], env=self.session.environment(),
                                    capture_output=True, timeout=10)
        except (OSError, subprocess.TimeoutExpired):
            return None
        return result.stdout if result.returncode == 0 else None

    def kill_and_recover(self):
        """With the main pane's text file edited and no dialog or notice up, kills tsl outright
        once the journal had its time, starts it again on that file, chooses Recover and compares
        the text with the one before: the recovery must give back every edit."""
        view = self.monkey.view()
        main = view.main
        edited = re.search(r': <([^/>]+)> - edited$', main.title) if main else None
        if (not edited or edited.group(1) not in TEXT_FILES or self.session.cwd() != self.session.work
                or any(frames.kind_of(w, main.xid) in frames.MODAL for w in view.windows)):
            return False
        name = edited.group(1)
        if name in self.monkey.changed_outside:
            return False  # its journal may no longer apply: the notice then has no Recover
        self.log.action(f'kill tsl with SIGKILL while {name} is edited, then Recover at the next start')
        before = self.main_text()
        if not before:
            self.log('  (the text could not be copied)')
            return False
        time.sleep(3)  # the journal follows the last change within a second or two
        self.check()
        self.session.tsl.kill()
        self.session.tsl.wait(timeout=10)
        process = self.launch(name)
        deadline = time.monotonic() + 30
        notice = None
        while time.monotonic() < deadline and not notice:
            if process.poll() is not None:
                self.check()
            windows = self.session.screen.clients(process.pid)
            notice = next((w for w in windows if w.title == 'Notice'), None)
            if any(w.title != 'Notice' for w in windows):
                break
            time.sleep(0.2)
        if not notice:
            raise Finding(f'tsl was killed while {name} was edited, and the next start on it offered no recovery')
        self.log('  Return (Recover) in the notice')
        self.session.screen.activate(notice.xid)
        self.monkey.input.keys('Return')
        if not self.monkey.wait_for_main_frame():
            self.check()
            raise Finding('tsl showed no window within 60 s after Recover')
        time.sleep(1.0)
        main = self.monkey.view().main
        after = self.main_text()
        if after is None:
            self.log('  (the recovered text could not be copied)')
            return True
        if after != before:
            at = next((i for i, (a, b) in enumerate(zip(before, after or b'')) if a != b),
                      min(len(before), len(after or b'')))
            raise Finding(f'Recover gave another text than the one killed: {len(before)} bytes before, '
                          f'{len(after)} after, first difference at byte {at}: '
                          f'{before[at:at + 60]!r} before, {after[at:at + 60]!r} after')
        if not main.title.endswith(' - edited'):
            raise Finding(f'the recovered text is not shown as edited: the title is {main.title!r}')
        self.log(f'  the same {len(after)} bytes are back, shown as edited')
        return True

    def keep_inside(self):
        """Starts tsl again when its file dialogs have taken it out of the scratch folder, before
        it can store a file there."""
        folder = self.session.outside_fence()
        if folder:
            self.log(f'tsl left the scratch folder for {folder}: starting it again')
            self.start_tsl()


def parse_arguments():
    parser = argparse.ArgumentParser(prog='scripts/monkey', description=__doc__)
    parser.add_argument('seconds', nargs='?', type=float, default=60, help='how long to drive tsl (default 60)')
    parser.add_argument('--seed', type=int, help='the random seed of a run to repeat (printed by every run)')
    parser.add_argument('--display', type=int, help='X display number to use (default: a free one)')
    parser.add_argument('--binary', help='the tsl to run (default build-sanitize/tsl, else build/tsl)')
    parser.add_argument('--scenario', choices=sorted(scenarios.SCENARIOS), help='a scripted sequence instead of '
                        'random actions, repeated for the given time')
    parser.add_argument('--quick', action='store_true', help='more actions in a row without waiting for tsl')
    parser.add_argument('--ping-timeout', type=float, default=5.0, help='seconds a ping may take (default 5)')
    parser.add_argument('--keep', action='store_true', help='keep the scratch folder after a clean run')
    return parser.parse_args()


def main():
    args = parse_arguments()
    top = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    binary = args.binary
    if not binary:
        for candidate in ('build-sanitize/tsl', 'build/tsl'):
            if os.access(os.path.join(top, candidate), os.X_OK):
                binary = os.path.join(top, candidate)
                break
    if not binary:
        print('No tsl to run: build it with scripts/build-sanitize (finds more) or scripts/build.')
        return 2
    binary = os.path.abspath(binary)
    if not args.binary and not binary.endswith('build-sanitize/tsl'):
        print('monkey: the sanitizer build finds more: scripts/install-deps --full && scripts/build-sanitize')
    seed = args.seed if args.seed is not None else random.SystemRandom().randrange(1, 10**9)
    rng = random.Random(seed)

    session = Session(top, binary, args.display, args.keep)
    log_path = os.path.join(session.scratch, 'monkey.log')
    log = Log(log_path)
    command = (f'scripts/monkey {args.seconds:g} --seed {seed}' + (f' --scenario {args.scenario}' if args.scenario else '')
               + (' --quick' if args.quick else '') + (f' --binary {args.binary}' if args.binary else ''))
    print(f'monkey: {binary}, {args.seconds:g} s, seed {seed}; log {log_path}', flush=True)
    log(f'run: {command} with {binary}')

    def stop(signum, frame):
        raise KeyboardInterrupt
    # Ctrl-C included even where the monkey was started with SIGINT ignored (in the background).
    ending_signals = (signal.SIGINT, signal.SIGTERM, signal.SIGHUP)
    for sig in ending_signals:
        signal.signal(sig, stop)

    found = None
    interrupted = False
    not_started = None
    runner = None
    try:
        session.prepare_files()
        session.start_display()
        session.start_spooler()
        log(f'display {session.display} with openbox; scratch folder {session.scratch}')
        monkey = Monkey(session, rng, log.action)
        runner = Runner(session, monkey, log, args.ping_timeout)
        runner.start_tsl()
        deadline = time.monotonic() + args.seconds
        scenario = scenarios.SCENARIOS.get(args.scenario)
        while time.monotonic() < deadline:
            if scenario:
                scenario(monkey, runner)
            elif rng.random() < 0.004:
                runner.kill_and_restart(rng)
            elif rng.random() < 0.01 and runner.kill_and_recover():
                pass
            else:
                # Mostly one action at a time; now and then a few in a row without waiting for
                # tsl to catch up, as a quick user gives them.
                alone = 0.4 if args.quick else 0.8
                for _ in range(1 if rng.random() < alone else rng.randint(2, 6 if args.quick else 4)):
                    runner.keep_inside()
                    monkey.act()
            if not args.quick:
                time.sleep(rng.uniform(0.02, 0.3))
            runner.check()
    except Finding as f:
        found = str(f)
        session.screenshot('finding.png')
    except KeyboardInterrupt:
        interrupted = True
    except RuntimeError as e:  # the display or the window manager did not start
        not_started = str(e)
    except Exception:  # a fault of the monkey's own: reported like a finding, with its seed
        found = 'a fault of the monkey itself:\n' + traceback.format_exc()
    finally:
        for sig in ending_signals:  # a second Ctrl-C does not cut the cleanup short
            signal.signal(sig, signal.SIG_IGN)
        session.cleanup(found or interrupted or not_started)

    if not_started:
        print(f'monkey: {not_started}; log in {session.scratch}')
        return 2
    actions = log.count
    sessions = runner.sessions if runner else 0
    if found:
        log(f'FOUND: {found}')
        print('\nmonkey: the last actions:')
        for line in log.last:
            print('  ' + line)
        print(f'\nmonkey: FOUND after {actions} actions in {sessions} run(s) of tsl:\n{found}')
        print(f'\nmonkey: seed {seed}; repeat with: {command}')
        print(f'monkey: the whole log and tsl\'s output are in {session.scratch}')
        return 1
    if interrupted:
        print(f'monkey: interrupted after {actions} actions; log in {session.scratch}')
        return 130
    print(f'monkey: nothing found in {args.seconds:g} s: {actions} actions, {sessions} run(s) of tsl, seed {seed}; '
          f'the slowest answer to a ping took {runner.slowest[0]:.2f} s (after action #{runner.slowest[1]})')
    return 0


if __name__ == '__main__':
    sys.exit(main())
