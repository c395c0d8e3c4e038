// The program each engine layer is linked into whole, with only the layers
// it stands on (see CMakeLists.txt): it links only when the layer calls
// nothing above itself.
int main() { return 0; }
