# One unit per window.
