#pragma once
// The figures of one bench run: per metric, our samples beside each peer's and the
// floor's, summarised as min / median / max with the ratios of the medians; written
// as JSON (out/bench.json) and as a Markdown table (out/bench.md, the README's).
#include <optional>
#include <string>
#include <vector>

namespace bench {

struct Series {
  std::string name;
  std::vector<double> samples;
};

struct Summary {
  double min = 0;
  double median = 0;
  double max = 0;
};

Summary summarise(const std::vector<double>& samples);

struct Metric {
  std::string name;
  std::string unit;
  Series ours;
  std::vector<Series> peers;
  std::optional<Series> floor;
  std::string target;  // in words, for the reader
  bool target_met = false;
};

double median_of(const Series& series);

std::string metrics_json(const std::vector<Metric>& metrics, int repeats);
std::string metrics_table(const std::vector<Metric>& metrics);

}  // namespace bench
