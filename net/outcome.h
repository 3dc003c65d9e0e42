// How a network call or a step of the download ended: the one outcome type below
// the window.
#pragma once

enum class Outcome {
  Done,     // finished as asked
  Failed,   // ended by an error (the caller tells the user)
  Stopped,  // ended because the user pressed Stop: nothing more is shown
};
