#include "app/LanguageController.h"

#include "protocol/Languages.h"

#include <utility>

namespace tervane {

using namespace tervane::protocol;

namespace {

int InTableOrNone(int position) {
    return LanguageCodeAt(position) ? position : -1;
}

void FollowPosition(int position, std::string& code) {
    if (const auto c = LanguageCodeAt(position))
        code = std::string(*c);
}

} // namespace

LanguageController::LanguageController(RoutesFetcher& routes)
    : fetcher_(routes), source_(kInitialSourcePosition), target_(kInitialTargetPosition) {
    FollowPosition(source_, sourceCode_);
    FollowPosition(target_, targetCode_);
}

void LanguageController::Changed() const {
    if (onChanged)
        onChanged();
}

void LanguageController::SelectSource(int position) {
    source_ = InTableOrNone(position);
    FollowPosition(source_, sourceCode_);
    Changed();
    RefreshRoutes();
}

void LanguageController::SelectTarget(int position) {
    target_ = InTableOrNone(position);
    FollowPosition(target_, targetCode_);
    Changed();
}

void LanguageController::Swap() {
    std::swap(source_, target_);
    std::swap(sourceCode_, targetCode_);
    Changed();
    RefreshRoutes();
}

// The routes known so far stay until the answer: they name every source's targets, so they
// hold for the new source too.
void LanguageController::RefreshRoutes() {
    const unsigned question = ++question_;
    fetcher_.Fetch([this, question](std::optional<LanguageRoutes> routes) {
        if (question != question_)
            return; // the source changed since: a newer answer is on its way
        routes_ = std::move(routes);
        Changed();
    });
}

bool LanguageController::TargetReached(int position) const {
    const auto target = LanguageCodeAt(position);
    return !routes_ || !target || routes_->Reaches(sourceCode_, *target);
}

} // namespace tervane
