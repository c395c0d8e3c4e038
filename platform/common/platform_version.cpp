// Version tag of our platform layer.
extern "C" const char *PlatformLayerVersion(void) { return "platform 0.1"; }
