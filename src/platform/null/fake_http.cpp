#include "platform/null/fake_http.h"

namespace rivoltra {

class FakeHttp::TableTransport final : public HttpTransport {
 public:
  explicit TableTransport(FakeHttp& owner) : owner_(owner) {}

  std::optional<std::string> Get(const std::string& address) override {
    owner_.requests_.push_back(address);
    const auto found = owner_.replies_.find(address);
    return found == owner_.replies_.end() ? std::nullopt : found->second;
  }

  std::optional<std::string> Post(const std::string& address, const std::string& body,
                                  const std::string& contentType) override {
    owner_.posts_.push_back({address, body, contentType});
    const auto found = owner_.postReplies_.find(address);
    return found == owner_.postReplies_.end() ? std::nullopt : found->second;
  }

 private:
  FakeHttp& owner_;
};

std::unique_ptr<HttpTransport> FakeHttp::Open(const HttpLimits& limits) {
  lastLimits_ = limits;
  if (connector_) return connector_(limits);
  return std::make_unique<TableTransport>(*this);
}

std::vector<std::string> FakeHttp::TakeRequests() {
  std::vector<std::string> taken;
  taken.swap(requests_);
  return taken;
}

std::vector<FakeHttp::Posted> FakeHttp::TakePosts() {
  std::vector<Posted> taken;
  taken.swap(posts_);
  return taken;
}

}  // namespace rivoltra
