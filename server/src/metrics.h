#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>

namespace rivoltra::scores {

// Counters and histograms for /metrics, in the Prometheus text format. Safe from any thread;
// counting takes a short lock or none.
class Metrics {
 public:
  // The route a request counts under: a short fixed name, never the raw target.
  static std::string_view RouteOf(std::string_view method, std::string_view target);

  void CountRequest(std::string_view route, int status, std::chrono::duration<double> took);
  void CountUpload(std::string_view outcome);
  void CountVerification(std::string_view outcome, std::chrono::duration<double> took);
  void CountStorageError() { ++storageErrors_; }
  void CountRefusal(std::string_view limit);

  // The gauges are read by the caller when the page is asked for.
  struct Gauges {
    std::size_t OpenConnections = 0;
    std::size_t OutstandingTokens = 0;
    std::size_t StoredScores = 0;
    std::size_t RefusedConnections = 0;
    std::size_t RefusedUploadPlaces = 0;
  };
  std::string Render(const Gauges& gauges) const;

 private:
  static constexpr std::array<double, 12> kRequestBuckets = {
      0.0005, 0.001, 0.0025, 0.005, 0.01, 0.025, 0.05, 0.1, 0.25, 0.5, 1, 5};
  static constexpr std::array<double, 8> kVerifyBuckets = {0.1, 0.25, 0.5, 1, 2, 4, 8, 16};
  struct Histogram {
    std::map<double, std::size_t> Below;  // cumulative counts come from these at render time
    std::size_t Count = 0;
    double Sum = 0;
  };
  static void Observe(Histogram& histogram, const double* bounds, std::size_t boundCount,
                      double seconds);

  mutable std::mutex mutex_;
  std::map<std::pair<std::string, int>, std::size_t> requests_;
  Histogram requestSeconds_;
  std::map<std::string, std::size_t> uploads_;
  std::map<std::string, std::size_t> verifications_;
  Histogram verifySeconds_;
  std::map<std::string, std::size_t> refusals_;
  std::atomic<std::size_t> storageErrors_{0};
};

}  // namespace rivoltra::scores
