#include "model/kilometric.h"

#include <algorithm>

#include "scenario/format.h"

std::vector<KilometricReference> kilometric_references(const ScenarioTable& table) {
  std::vector<KilometricReference> references;
  for (const int record : {kKilometricTreRecord, kKilometricDueRecord, kKilometricUnoRecord}) {
    const ScenarioRecord& r = table[static_cast<std::size_t>(record)];
    if (r.number1 == 0 && r.number2 == 0 && r.number3 == 0) continue;
    KilometricReference reference;
    reference.start = r.number1;
    if (r.number3 == kKilometricCountingDown) {
      reference.progressive = int64_t{r.number2} - kKilometricFlagAddition;
      reference.direction = -1;
    } else {
      reference.progressive = r.number2;
      reference.direction = 1;
    }
    references.push_back(reference);
  }
  std::stable_sort(references.begin(), references.end(),
                   [](const KilometricReference& a, const KilometricReference& b) { return a.start < b.start; });
  return references;
}

double kilometric_progressive(const std::vector<KilometricReference>& references, double metre) {
  if (references.empty()) return metre;
  const KilometricReference* chosen = &references.front();
  for (const KilometricReference& reference : references)
    if (reference.start <= metre) chosen = &reference;
  return chosen->progressive + chosen->direction * (metre - chosen->start);
}
