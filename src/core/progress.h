#pragma once
// The status bar of long-running commands: an empty line, then
// "Status: " with a 20-character bar of asterisks and dots written over
// the same line at every step, and "Status: Done!" after the last step.
namespace verto {

class Console;

// Step i of n (1-based). Call it for i = 1..n in order; steps whose bar
// does not change cost only a compare.
void show_progress(Console& con, int i, int n);

}  // namespace verto
