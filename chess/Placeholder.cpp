// Keeps the library non-empty until the board code lands.
namespace chess {
int placeholder() { return 0; }
}  // namespace chess
