#include "interact/progress.h"

#include "interact/programside.h"

namespace {

ProgressDisplay* Display() {
    ProgramSide* side = CurrentProgramSide();
    return side ? &side->Progress() : nullptr;
}

}  // namespace

void ShowStatus(const std::wstring& text) {
    if (ProgressDisplay* d = Display()) d->ShowStatus(text);
}

void ShowProgress(std::int64_t position, std::int64_t count) {
    if (ProgressDisplay* d = Display()) d->ShowProgress(position, count);
}

void UpdateProgress(std::int64_t pos, std::int64_t tot) {
    if (ProgressDisplay* d = Display()) d->UpdateProgress(pos, tot);
}

void UpdateProgress(const void*, std::int64_t pos, std::int64_t tot) { UpdateProgress(pos, tot); }

void FinishProgress() {
    if (ProgressDisplay* d = Display()) d->FinishProgress();
}

StopOffer::StopOffer() {
    if (ProgressDisplay* d = Display()) d->OfferStop(true);
}

StopOffer::~StopOffer() {
    if (ProgressDisplay* d = Display()) d->OfferStop(false);
}

void RequestStop() {
    if (ProgressDisplay* d = Display()) d->RequestStop(true);
}

void ForgetStopRequest() {
    if (ProgressDisplay* d = Display()) d->RequestStop(false);
}

bool StopRequested() {
    ProgressDisplay* d = Display();
    return d && d->StopRequested();
}
