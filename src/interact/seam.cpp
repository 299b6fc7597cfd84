#include "interact/seam.h"

namespace {
ModalResponder* installed = nullptr;
}

ModalResponder& Modal() { return installed ? *installed : WindowsResponder(); }

ModalResponder* SetModalResponder(ModalResponder* responder) {
    ModalResponder* previous = installed;
    installed = responder;
    return previous;
}
