"""The X side of the monkey: the windows of one process (titles, places, menus that are open),
the window manager's ping and close requests, and keys and clicks through xdotool."""

import select
import subprocess
import time

from Xlib import X, Xatom, display, error, protocol


class Window:
    """A snapshot of one top-level window: its id, title and place on the screen."""

    def __init__(self, xid, title, x, y, width, height):
        self.xid = xid
        self.title = title
        self.x, self.y, self.width, self.height = x, y, width, height

    def at(self, fx, fy):
        """The screen point at fractions (fx, fy) of the window's width and height."""
        return int(self.x + fx * self.width), int(self.y + fy * self.height)

    def __repr__(self):
        return f'"{self.title}" {self.width}x{self.height}+{self.x}+{self.y}'


class Screen:
    """One connection to the display, used for looking and for the window manager's requests."""

    def __init__(self, name):
        self.name = name
        self.d = display.Display(name)
        self.d.set_error_handler(lambda *args: None)  # windows come and go while we look
        self.root = self.d.screen().root
        # Qt answers a ping on the root window with the structure-notify mask.
        self.root.change_attributes(event_mask=X.StructureNotifyMask)
        self.serial = int(time.time()) & 0xFFFFFF
        names = ['_NET_CLIENT_LIST', '_NET_WM_PID', '_NET_WM_NAME', 'UTF8_STRING', 'WM_PROTOCOLS',
                 '_NET_WM_PING', '_NET_CLOSE_WINDOW', '_NET_ACTIVE_WINDOW', '_NET_WM_WINDOW_TYPE',
                 '_NET_WM_WINDOW_TYPE_POPUP_MENU', '_NET_WM_WINDOW_TYPE_DROPDOWN_MENU',
                 '_NET_SUPPORTING_WM_CHECK', '_NET_ACTIVE_WINDOW']
        self.atoms = {n: self.d.intern_atom(n) for n in names}

    def close_connection(self):
        try:
            self.d.close()
        except Exception:
            pass

    def _window(self, xid):
        return self.d.create_resource_object('window', xid)

    def _property(self, win, name, kind=X.AnyPropertyType):
        try:
            p = win.get_full_property(self.atoms[name], kind)
        except (error.XError, error.BadWindow):
            return None
        return p.value if p else None

    def window_manager_running(self):
        return self._property(self.root, '_NET_SUPPORTING_WM_CHECK') is not None

    def _pid(self, win):
        value = self._property(win, '_NET_WM_PID', Xatom.CARDINAL)
        return int(value[0]) if value is not None and len(value) else None

    def _title(self, win):
        value = self._property(win, '_NET_WM_NAME', self.atoms['UTF8_STRING'])
        if value is None:
            try:
                value = win.get_wm_name() or ''
            except error.XError:
                value = ''
        if isinstance(value, bytes):
            value = value.decode('utf-8', 'replace')
        return value

    def _snapshot(self, win):
        try:
            geometry = win.get_geometry()
            origin = self.root.translate_coords(win, 0, 0)
        except error.XError:
            return None
        return Window(win.id, self._title(win), origin.x, origin.y, geometry.width, geometry.height)

    def clients(self, pid):
        """The managed windows of process `pid`, in the order the window manager lists them."""
        ids = self._property(self.root, '_NET_CLIENT_LIST', Xatom.WINDOW) or []
        found = []
        for xid in ids:
            win = self._window(xid)
            if self._pid(win) != pid:
                continue
            try:
                if win.get_attributes().map_state != X.IsViewable:
                    continue
            except error.XError:
                continue
            snap = self._snapshot(win)
            if snap:
                found.append(snap)
        return found

    def menus(self, pid):
        """The pop-up and drop-down menus of process `pid` that are shown, oldest first."""
        try:
            children = self.root.query_tree().children
        except error.XError:
            return []
        kinds = (self.atoms['_NET_WM_WINDOW_TYPE_POPUP_MENU'], self.atoms['_NET_WM_WINDOW_TYPE_DROPDOWN_MENU'])
        found = []
        for win in children:
            try:
                attributes = win.get_attributes()
            except error.XError:
                continue
            if not attributes.override_redirect or attributes.map_state != X.IsViewable:
                continue
            if self._pid(win) != pid:
                continue
            types = self._property(win, '_NET_WM_WINDOW_TYPE', Xatom.ATOM) or []
            if not any(t in kinds for t in types):
                continue
            snap = self._snapshot(win)
            if snap:
                found.append(snap)
        return found

    def ping(self, xid, timeout):
        """Sends the window manager's ping to window `xid`; returns the seconds the answer took,
        or None when it did not come in time."""
        self.serial = (self.serial + 1) & 0xFFFFFFF
        serial = self.serial
        event = protocol.event.ClientMessage(
            window=self._window(xid), client_type=self.atoms['WM_PROTOCOLS'],
            data=(32, [self.atoms['_NET_WM_PING'], serial, xid, 0, 0]))
        try:
            self._window(xid).send_event(event, event_mask=0)
            self.d.flush()
        except error.XError:
            return None
        start = time.monotonic()
        deadline = start + timeout
        while True:
            while self.d.pending_events():
                ev = self.d.next_event()
                if (ev.type == X.ClientMessage and ev.client_type == self.atoms['WM_PROTOCOLS']
                        and ev.data[1][0] == self.atoms['_NET_WM_PING'] and ev.data[1][1] == serial):
                    return time.monotonic() - start
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                return None
            select.select([self.d.fileno()], [], [], min(remaining, 0.1))

    def _ask_window_manager(self, xid, name, data):
        event = protocol.event.ClientMessage(window=self._window(xid), client_type=self.atoms[name],
                                             data=(32, data))
        try:
            self.root.send_event(event, event_mask=X.SubstructureRedirectMask | X.SubstructureNotifyMask)
            self.d.flush()
        except error.XError:
            pass

    def close(self, xid):
        """Asks the window manager to close window `xid`, as its close button does."""
        self._ask_window_manager(xid, '_NET_CLOSE_WINDOW', [X.CurrentTime, 2, 0, 0, 0])

    def activate(self, xid, timeout=1.0):
        """Asks the window manager to raise window `xid` and give it the keyboard, and waits
        until it has (a modal notice may keep it from the window: then it gives up in time)."""
        if self.active() == xid:
            return True
        self._ask_window_manager(xid, '_NET_ACTIVE_WINDOW', [2, X.CurrentTime, 0, 0, 0])
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self.active() == xid:
                time.sleep(0.03)  # the raise follows the focus
                return True
            time.sleep(0.02)
        return False

    def active(self):
        value = self._property(self.root, '_NET_ACTIVE_WINDOW', Xatom.WINDOW)
        return int(value[0]) if value is not None and len(value) else None


class Input:
    """Keys and clicks sent through xdotool (the XTEST extension, as a user's own would arrive)."""

    def __init__(self, env):
        self.env = env

    def run(self, *args):
        try:
            subprocess.run(['xdotool', *map(str, args)], env=self.env, timeout=30,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        except subprocess.TimeoutExpired:
            pass

    def click(self, x, y, button=1, count=1):
        self.run('mousemove', x, y, 'sleep', 0.03, 'click', '--repeat', count, '--delay', 60, button)

    def move(self, x, y):
        self.run('mousemove', x, y, 'sleep', 0.03)

    def drag(self, x1, y1, x2, y2):
        self.run('mousemove', x1, y1, 'sleep', 0.03, 'mousedown', 1, 'sleep', 0.05, 'mousemove', x2, y2, 'sleep', 0.05,
                 'mouseup', 1)

    def keys(self, *names):
        if names:
            self.run('key', '--clearmodifiers', '--delay', 25, *names)

    def type(self, text):
        if text:
            self.run('type', '--clearmodifiers', '--delay', 12, '--', text)
