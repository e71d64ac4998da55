#include "metrics.h"

#include <sstream>

namespace rivoltra::scores {
namespace {

std::string_view PathOf(std::string_view target) { return target.substr(0, target.find('?')); }

bool HasFlag(std::string_view target, std::string_view flag) {
  std::size_t question = target.find('?');
  if (question == std::string_view::npos) return false;
  std::string_view query = target.substr(question + 1);
  while (!query.empty()) {
    std::size_t end = query.find('&');
    std::string_view piece = query.substr(0, end);
    if (piece.substr(0, piece.find('=')) == flag) return true;
    if (end == std::string_view::npos) break;
    query.remove_prefix(end + 1);
  }
  return false;
}

void WriteHistogram(std::ostringstream& out, const std::string& name, const char* help,
                    const double* bounds, std::size_t boundCount,
                    const std::map<double, std::size_t>& below, std::size_t count, double sum) {
  out << "# HELP " << name << ' ' << help << "\n# TYPE " << name << " histogram\n";
  std::size_t cumulative = 0;
  for (std::size_t i = 0; i < boundCount; ++i) {
    auto found = below.find(bounds[i]);
    if (found != below.end()) cumulative += found->second;
    out << name << "_bucket{le=\"" << bounds[i] << "\"} " << cumulative << '\n';
  }
  out << name << "_bucket{le=\"+Inf\"} " << count << '\n';
  out << name << "_sum " << sum << '\n' << name << "_count " << count << '\n';
}

void WriteLabelled(std::ostringstream& out, const char* name, const char* help, const char* label,
                   const std::map<std::string, std::size_t>& counts) {
  out << "# HELP " << name << ' ' << help << "\n# TYPE " << name << " counter\n";
  for (const auto& [value, count] : counts) {
    out << name << '{' << label << "=\"" << value << "\"} " << count << '\n';
  }
}

void WriteGauge(std::ostringstream& out, const char* name, const char* help, std::size_t value,
                const char* type = "gauge") {
  out << "# HELP " << name << ' ' << help << "\n# TYPE " << name << ' ' << type << '\n'
      << name << ' ' << value << '\n';
}

}  // namespace

std::string_view Metrics::RouteOf(std::string_view method, std::string_view target) {
  std::string_view path = PathOf(target);
  if (path == "/cgi/version.pl") {
    if (HasFlag(target, "version")) return "version";
    if (HasFlag(target, "hs")) return "report";
    if (HasFlag(target, "show")) return "table";
    return "version_other";
  }
  if (path == "/cgi/replay.pl") return method == "POST" ? "replay_upload" : "replay_download";
  if (path == "/") return "home";
  if (path == "/healthz") return "health";
  if (path == "/metrics") return "metrics";
  if (path == "/api/scores") return "api_scores";
  if (path == "/api/entry") return "api_entry";
  if (path == "/play" || path.rfind("/play/", 0) == 0) return "play";
  return "other";
}

void Metrics::Observe(Histogram& histogram, const double* bounds, std::size_t boundCount,
                      double seconds) {
  for (std::size_t i = 0; i < boundCount; ++i) {
    if (seconds <= bounds[i]) {
      ++histogram.Below[bounds[i]];
      break;
    }
  }
  ++histogram.Count;
  histogram.Sum += seconds;
}

void Metrics::CountRequest(std::string_view route, int status, std::chrono::duration<double> took) {
  std::lock_guard lock(mutex_);
  ++requests_[{std::string(route), status}];
  Observe(requestSeconds_, kRequestBuckets.data(), kRequestBuckets.size(), took.count());
}

void Metrics::CountUpload(std::string_view outcome) {
  std::lock_guard lock(mutex_);
  ++uploads_[std::string(outcome)];
}

void Metrics::CountVerification(std::string_view outcome, std::chrono::duration<double> took) {
  std::lock_guard lock(mutex_);
  ++verifications_[std::string(outcome)];
  Observe(verifySeconds_, kVerifyBuckets.data(), kVerifyBuckets.size(), took.count());
}

void Metrics::CountRefusal(std::string_view limit) {
  std::lock_guard lock(mutex_);
  ++refusals_[std::string(limit)];
}

std::string Metrics::Render(const Gauges& gauges) const {
  std::ostringstream out;
  std::lock_guard lock(mutex_);
  out << "# HELP rivoltra_requests_total Requests answered, by route and status.\n"
         "# TYPE rivoltra_requests_total counter\n";
  for (const auto& [key, count] : requests_) {
    out << "rivoltra_requests_total{route=\"" << key.first << "\",status=\"" << key.second << "\"} "
        << count << '\n';
  }
  WriteHistogram(out, "rivoltra_request_duration_seconds",
                 "Time from a request's whole head to its reply.", kRequestBuckets.data(),
                 kRequestBuckets.size(), requestSeconds_.Below, requestSeconds_.Count,
                 requestSeconds_.Sum);
  WriteGauge(out, "rivoltra_open_connections", "Client connections open now.",
             gauges.OpenConnections);
  WriteGauge(out, "rivoltra_outstanding_tokens", "Tokens issued and not yet spent or expired.",
             gauges.OutstandingTokens);
  WriteGauge(out, "rivoltra_scores_stored", "Entries in the table, hidden ones included.",
             gauges.StoredScores);
  WriteLabelled(out, "rivoltra_uploads_total", "Replay uploads answered, by outcome.", "outcome",
                uploads_);
  WriteLabelled(out, "rivoltra_verifications_total", "Verifier runs, by outcome.", "outcome",
                verifications_);
  WriteHistogram(out, "rivoltra_verification_duration_seconds",
                 "Time of one verification, its wait for a turn included.", kVerifyBuckets.data(),
                 kVerifyBuckets.size(), verifySeconds_.Below, verifySeconds_.Count,
                 verifySeconds_.Sum);
  WriteGauge(out, "rivoltra_storage_errors_total", "Storage calls that failed.",
             storageErrors_.load(), "counter");
  std::map<std::string, std::size_t> refusals = refusals_;
  refusals["connections"] += gauges.RefusedConnections;
  refusals["upload_places"] += gauges.RefusedUploadPlaces;
  WriteLabelled(out, "rivoltra_refusals_total", "Requests refused by a limit, by limit.", "limit",
                refusals);
  return out.str();
}

}  // namespace rivoltra::scores
