/* The agent of Tessarapane inside GNOME Shell: on Wayland no other program may
 * list, move, raise or close the windows of others, so this extension does it
 * for the program, over the session bus (org.tessarapane.Agent).
 *
 * Written in the legacy style GNOME Shell 43 and 44 load (imports.*, init()
 * returning an object with enable() and disable()); Shell 45 and later need
 * the same code as an ES module (`import ... from 'gi://Meta'`, a default
 * export class extending Extension). */
'use strict';

const { Gio, GLib, Meta } = imports.gi;
const Main = imports.ui.main;

const BUS_NAME = 'org.tessarapane.Agent';
const OBJECT_PATH = '/org/tessarapane/Agent';
const VERSION = 1;
const IFACE = `
<node>
  <interface name="org.tessarapane.Agent1">
    <property name="Version" type="u" access="read"/>
    <method name="ListWindows"><arg type="s" direction="out" name="windows"/></method>
    <method name="Monitors"><arg type="s" direction="out" name="monitors"/></method>
    <method name="MoveResize">
      <arg type="t" direction="in" name="id"/>
      <arg type="i" direction="in" name="x"/><arg type="i" direction="in" name="y"/>
      <arg type="i" direction="in" name="width"/><arg type="i" direction="in" name="height"/>
      <arg type="b" direction="out" name="done"/>
    </method>
    <method name="Activate"><arg type="t" direction="in" name="id"/><arg type="b" direction="out" name="done"/></method>
    <method name="Close"><arg type="t" direction="in" name="id"/><arg type="b" direction="out" name="done"/></method>
    <signal name="WindowEvent"><arg type="s" name="kind"/><arg type="t" name="id"/></signal>
  </interface>
</node>`;

// Windows a user works with; menus, tooltips and the shell's own are left out.
const ARRANGEABLE = [Meta.WindowType.NORMAL, Meta.WindowType.DIALOG, Meta.WindowType.MODAL_DIALOG, Meta.WindowType.UTILITY];

function rect(r) {
    return [r.x, r.y, r.width, r.height];
}

class Agent {
    constructor() {
        this._dbus = Gio.DBusExportedObject.wrapJSObject(IFACE, this);
        this._ownerId = 0;
        this._handlers = [];
        this._windowHandlers = new Map();
        this._startupId = 0;
    }

    get Version() {
        return VERSION;
    }

    _windows() {
        return global.display.sort_windows_by_stacking(
            global.display.list_all_windows().filter(w => ARRANGEABLE.includes(w.get_window_type()) && !w.is_skip_taskbar()));
    }

    _find(id) {
        return this._windows().find(w => w.get_id() === id) || null;
    }

    ListWindows() {
        const focus = global.display.get_focus_window();
        // Bottom to top, as the stacking order runs.
        return JSON.stringify(this._windows().map((w, stackIndex) => ({
            id: w.get_id(),
            pid: w.get_pid(),
            appId: w.get_wm_class() || '',
            title: w.get_title() || '',
            frame: rect(w.get_frame_rect()),
            minimized: w.minimized,
            fullscreen: w.is_fullscreen(),
            maximized: w.get_maximized() === Meta.MaximizeFlags.BOTH,
            workspace: w.get_workspace() ? w.get_workspace().index() : -1,
            monitor: w.get_monitor(),
            stackIndex,
            focused: w === focus,
            xwayland: w.get_client_type() === Meta.WindowClientType.X11,
        })));
    }

    Monitors() {
        const workspace = global.workspace_manager.get_active_workspace();
        const monitors = [];
        for (let i = 0; i < global.display.get_n_monitors(); i++) {
            monitors.push({
                index: i,
                frame: rect(global.display.get_monitor_geometry(i)),
                workArea: rect(workspace.get_work_area_for_monitor(i)),
                scale: global.display.get_monitor_scale(i),
                primary: i === global.display.get_primary_monitor(),
            });
        }
        return JSON.stringify(monitors);
    }

    MoveResize(id, x, y, width, height) {
        const w = this._find(id);
        if (!w || width <= 0 || height <= 0) return false;
        // A maximised window keeps its size until it is restored.
        if (w.get_maximized()) w.unmaximize(Meta.MaximizeFlags.BOTH);
        w.move_resize_frame(true, x, y, width, height);
        return true;
    }

    Activate(id) {
        const w = this._find(id);
        if (!w) return false;
        Main.activateWindow(w, global.display.get_current_time_roundtrip());
        return true;
    }

    Close(id) {
        const w = this._find(id);
        if (!w) return false;
        w.delete(global.display.get_current_time_roundtrip());
        return true;
    }

    _emit(kind, window) {
        this._dbus.emit_signal('WindowEvent', new GLib.Variant('(st)', [kind, window.get_id()]));
    }

    _watch(window) {
        if (this._windowHandlers.has(window)) return;
        this._windowHandlers.set(window, [
            window.connect('position-changed', () => this._emit('geometry', window)),
            window.connect('size-changed', () => this._emit('geometry', window)),
            window.connect('notify::minimized', () => this._emit('state', window)),
            window.connect('notify::fullscreen', () => this._emit('state', window)),
            window.connect('notify::title', () => this._emit('title', window)),
            window.connect('unmanaged', () => {
                this._unwatch(window);
                this._emit('destroyed', window);
            }),
        ]);
    }

    _unwatch(window) {
        for (const id of this._windowHandlers.get(window) || []) window.disconnect(id);
        this._windowHandlers.delete(window);
    }

    enable() {
        this._dbus.export(Gio.DBus.session, OBJECT_PATH);
        this._ownerId = Gio.bus_own_name_on_connection(Gio.DBus.session, BUS_NAME, Gio.BusNameOwnerFlags.NONE, null, null);
        for (const w of global.display.list_all_windows()) this._watch(w);
        this._handlers.push(global.display.connect('window-created', (display, window) => {
            this._watch(window);
            this._emit('created', window);
        }));
        this._handlers.push(global.display.connect('notify::focus-window', () => {
            const focus = global.display.get_focus_window();
            if (focus) this._emit('focus', focus);
        }));
        // Tests only: a shell started headless ends its start-up in the
        // overview, where new windows get no focus and no user will leave it.
        if (GLib.getenv('TESSARAPANE_AGENT_TEST')) {
            const leaveOverview = () => Main.overview.hide();
            if (Main.layoutManager._startingUp) {
                this._startupId = Main.layoutManager.connect('startup-complete', leaveOverview);
            } else {
                leaveOverview();
            }
        }
    }

    disable() {
        if (this._startupId) Main.layoutManager.disconnect(this._startupId);
        this._startupId = 0;
        for (const id of this._handlers) global.display.disconnect(id);
        this._handlers = [];
        for (const w of [...this._windowHandlers.keys()]) this._unwatch(w);
        if (this._ownerId) Gio.bus_unown_name(this._ownerId);
        this._ownerId = 0;
        this._dbus.unexport();
    }
}

function init() {
    return new Agent();
}
