// A module that the platform tests load and look up by name.
extern "C" __attribute__((visibility("default"))) int PlatformProbe_Answer() { return 42; }
