#include "app/uSingleRun.h"

TSingleRun* SingleRun = nullptr;

TSingleRun::TSingleRun(const std::string& name) : name_(name) {}

TSingleRun::~TSingleRun() { UnregisterInstance(); }

// Instances are not published yet, so no running instance is ever found and
// every start runs as the first one.
bool TSingleRun::ActivateRunningInstance() { return false; }

void TSingleRun::RegisterInstance(uint64_t) {}

void TSingleRun::UnregisterInstance()
{
    mapping_ = 0;
    registered_ = false;
}
