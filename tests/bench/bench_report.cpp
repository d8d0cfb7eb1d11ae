#include "bench_report.h"

#include <algorithm>
#include <cstdio>

namespace bench {
namespace {

std::string number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", value);
  return text;
}

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string summary_json(const Series& series) {
  const Summary s = summarise(series.samples);
  return "{\"min\": " + number(s.min) + ", \"median\": " + number(s.median) + ", \"max\": " + number(s.max) + "}";
}

std::string ratio_json(const Metric& metric) {
  std::string out = "{";
  const double ours = median_of(metric.ours);
  for (const Series& peer : metric.peers) {
    if (out.size() > 1) out += ", ";
    out += quoted("to " + peer.name) + ": " + number(ours / median_of(peer));
  }
  if (metric.floor) out += std::string(out.size() > 1 ? ", " : "") + "\"to floor\": " + number(ours / median_of(*metric.floor));
  return out + "}";
}

std::string metric_json(const Metric& metric) {
  std::string peers = "{";
  for (const Series& peer : metric.peers) {
    peers += (peers.size() > 1 ? ", " : "") + quoted(peer.name) + ": " + summary_json(peer);
  }
  peers += "}";
  const std::string floor =
      metric.floor ? "{\"name\": " + quoted(metric.floor->name) + ", \"summary\": " + summary_json(*metric.floor) + "}"
                   : std::string("null");
  return "    {\"name\": " + quoted(metric.name) + ", \"unit\": " + quoted(metric.unit) +
         ",\n     \"ours\": " + summary_json(metric.ours) + ",\n     \"peer\": " + peers +
         ",\n     \"floor\": " + floor + ",\n     \"ratio\": " + ratio_json(metric) +
         ",\n     \"target\": " + quoted(metric.target) + ", \"met\": " + (metric.target_met ? "true" : "false") + "}";
}

// "min / median / max", or the single figure of a series measured once.
std::string summary_cell(const Series& series) {
  const Summary s = summarise(series.samples);
  char text[96];
  if (series.samples.size() == 1) {
    std::snprintf(text, sizeof text, "%.0f", s.median);
  } else {
    std::snprintf(text, sizeof text, "%.1f / %.1f / %.1f", s.min, s.median, s.max);
  }
  return text;
}

std::string ratio_cell(double ours, const Series& other) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", ours / median_of(other));
  return text;
}

}  // namespace

Summary summarise(const std::vector<double>& samples) {
  if (samples.empty()) return {};
  std::vector<double> sorted = samples;
  std::sort(sorted.begin(), sorted.end());
  const size_t middle = sorted.size() / 2;
  const double median = sorted.size() % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
  return {sorted.front(), median, sorted.back()};
}

double median_of(const Series& series) { return summarise(series.samples).median; }

std::string metrics_json(const std::vector<Metric>& metrics, int repeats) {
  std::string out = "{\n  \"repeats\": " + std::to_string(repeats) + ",\n  \"metrics\": [\n";
  for (size_t i = 0; i < metrics.size(); ++i) out += metric_json(metrics[i]) + (i + 1 < metrics.size() ? ",\n" : "\n");
  return out + "  ]\n}\n";
}

// One row per metric and series; ratios are of medians, ours over the row's.
std::string metrics_table(const std::vector<Metric>& metrics) {
  std::string out =
      "| metric | unit | program | min / median / max | ours ÷ this |\n"
      "|---|---|---|---|---|\n";
  for (const Metric& metric : metrics) {
    const double ours = median_of(metric.ours);
    out += "| " + metric.name + " | " + metric.unit + " | **ours** | " + summary_cell(metric.ours) + " | " +
           (metric.target_met ? "target met: " : "target missed: ") + metric.target + " |\n";
    for (const Series& peer : metric.peers) {
      out += "| | | " + peer.name + " | " + summary_cell(peer) + " | " + ratio_cell(ours, peer) + " |\n";
    }
    if (metric.floor) {
      out += "| | | floor: " + metric.floor->name + " | " + summary_cell(*metric.floor) + " | " +
             ratio_cell(ours, *metric.floor) + " |\n";
    }
  }
  return out;
}

}  // namespace bench
