#pragma once
// What every fuzz target shares: message boxes are counted instead of shown, and a broken
// invariant stops the run so that libFuzzer keeps the input that broke it.

// Message boxes shown since the last ResetMessages().
int MessagesShown();
void ResetMessages();

// Stops the run with `what` when `holds` is false.
void Require(bool holds, const char* what);
