#pragma once
// The memory limit of an editing pane refuses what the user types or pastes once the text would
// grow past it. The pane beeps each time; the first time, a notice over its window names the
// limit and the setting of the configuration file that sets it.
class TextPane;

enum class LimitedPane { main, project };

// Watches `pane` (the main window's, or a project window's) for refused insertions.
void watchMemoryLimit(TextPane *pane, LimitedPane which);
