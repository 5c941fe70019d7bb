// A shared library that loads but lacks the two exports a plug-in must have.
extern "C" __attribute__((visibility("default"))) int not_a_plugin() { return 0; }
