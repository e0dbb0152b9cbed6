#pragma once

#include <QString>
#include <optional>

// The text on the system clipboard, for lexbin --edit-clipboard and --note-clipboard: empty
// when it holds none; none at all where a program without a focused window is not given
// the clipboard, which is Wayland's rule (the compositor offers it to the client about to
// get the keyboard focus), so that an empty text there would say nothing of the clipboard.
// Needs the application object.
std::optional<QString> ClipboardText();
