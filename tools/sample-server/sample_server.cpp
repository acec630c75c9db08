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
std::string SampleServer::resourceServerBase() const { return root() + "files/"; }
void SampleServer::setFaults(const Faults&) {}
void SampleServer::addFile(std::string, std::string, int) {}
std::optional<std::string> SampleServer::fileBytes(std::string_view) const { return std::nullopt; }
void SampleServer::setLatestVersion(std::string) {}
Stats SampleServer::stats() const { return {}; }
void SampleServer::resetStats() {}

} // namespace plendrik::sample
