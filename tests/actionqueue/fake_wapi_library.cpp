// A stand-in for the WAPI library: records the order of the calls it receives.
#include <string>

namespace {
std::string calls;
}

extern "C" {
__attribute__((visibility("default"))) void WAPIAPIAccessUserCancle() { calls += "cancel;"; }
__attribute__((visibility("default"))) void WAPIAPIDisAssociate() { calls += "disassociate;"; }
__attribute__((visibility("default"))) const char* FakeWapiCalls() { return calls.c_str(); }
}
