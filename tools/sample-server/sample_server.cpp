#include "sample_server.h"

namespace plendrik::sample {

// Placeholder until the sample server lands.
struct SampleServer::Impl {};
SampleServer::SampleServer() : m_impl(std::make_unique<Impl>()) {}
SampleServer::~SampleServer() = default;
bool SampleServer::start(int) { return false; }
void SampleServer::stop() {}
int SampleServer::port() const { return 0; }
std::string SampleServer::root() const { return {}; }

} // namespace plendrik::sample
