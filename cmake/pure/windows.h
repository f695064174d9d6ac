// Found first by the pure libraries (the portable runtime, the policy, the windows' texts and
// arithmetic), which build and are tested natively: Windows is not for them.
#error "<windows.h> is not for this layer: it builds and is tested without Windows"
