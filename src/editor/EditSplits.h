// Edit ▸ Edit Splits…, as the shell calls it: no Qt in this header, so the shell's own code
// stays free of the toolkit's macros.
#pragma once

class QuorvelClass;
class QWidget;

// Shows the split editor on the engine's route; OK applies the edited route (SetRoute: the
// split file is written once, and only when something changed). False on Cancel, and at
// once, without a dialog, when the engine has no split file or refuses edits (a run in
// progress).
bool EditEngineRoute(QuorvelClass& engine, QWidget* parent);
