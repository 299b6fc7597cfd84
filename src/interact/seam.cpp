#include "interact/seam.h"

#include "interact/programside.h"
#include "util/failure.h"

namespace {
ModalResponder* installed = nullptr;
ProgramSide* side = nullptr;
}  // namespace

ProgramSide* SetProgramSide(ProgramSide* s) {
    ProgramSide* previous = side;
    side = s;
    return previous;
}

ProgramSide* CurrentProgramSide() { return side; }

ModalResponder& Modal() {
    if (installed) return *installed;
    if (!side) throw Failure(L"%Okna programu nie są jeszcze gotowe.");
    return side->Windows();
}

ModalResponder* SetModalResponder(ModalResponder* responder) {
    ModalResponder* previous = installed;
    installed = responder;
    return previous;
}
