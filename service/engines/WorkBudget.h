// The work one request may cause, from its size and its hops: each call of an engine costs
// its input plus a fixed part, so a text that splits into thousands of tiny pieces (HTML's
// runs between tags) cannot make a thousand times the calls its size pays for.
#pragma once

#include <cstddef>

namespace tervane::service {

class WorkBudget {
  public:
    // What one call costs beyond its input: a pipeline's round trip.
    static constexpr std::size_t kCallCost = 256;

    // Four times the text through every hop, with room for a few hundred calls.
    WorkBudget(std::size_t textBytes, std::size_t hops)
        : left_((4 * textBytes + 64 * 1024) * (hops == 0 ? 1 : hops)) {}

    // Takes one call's cost; false when the request has spent its budget.
    bool Take(std::size_t inputBytes) {
        const std::size_t cost = inputBytes + kCallCost;
        if (cost > left_)
            return false;
        left_ -= cost;
        return true;
    }

  private:
    std::size_t left_;
};

} // namespace tervane::service
