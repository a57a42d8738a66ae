// Text fields of the dialog whose typed value applies a second after the last keystroke, on Return and
// when the field loses the focus; a command that acts on what the dialog shows (Scan) first applies
// whatever is still waiting, since a tool button takes no focus away from the field. Main thread only.
#pragma once

#include <QLineEdit>

#include <functional>

// Typing in field calls apply once typing rests for delayMs (ms), and at once on Return or focus loss.
// The pending call belongs to the field and goes with it.
void ApplyWhileTyping(QLineEdit* field, int delayMs, std::function<void()> apply);
// Applies at once every pending typed value of the fields under root (root included).
void ApplyPendingTyping(QWidget* root);
// Drops the pending typed value of field; the caller applies the field itself.
void CancelPendingTyping(QLineEdit* field);
