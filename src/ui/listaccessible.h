#pragma once

namespace kelvra {

// Screen readers announce a drop-down list by its name. On Linux Qt names a
// list after its current item, so the model list would be announced as
// "KR350UV" rather than "Radio Type"; from this call on, a list that has a
// name (its own or its label's) is announced by it, and its item is its value.
// Call it before the lists are first asked about (before the window is built).
void NameListsByTheirLabels();

} // namespace kelvra
