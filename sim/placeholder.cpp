// The simulator library starts empty; its core lands in its own sources.
namespace qm4100sim { int placeholder() { return 0; } }
