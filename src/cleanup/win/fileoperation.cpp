#include "cleanup/win/fileoperation.h"

#include <shellapi.h>

#include "cleanup/shellpaths.h"
#include "ui/win/form.h"

FILEOP_FLAGS ShellFlags(const std::set<TFileOpFlag>& flags) {
    static const std::pair<TFileOpFlag, FILEOP_FLAGS> kBits[] = {
        {TFileOpFlag::fofAllowUndo, FOF_ALLOWUNDO},
        {TFileOpFlag::fofConfirmMouse, FOF_CONFIRMMOUSE},
        {TFileOpFlag::fofFilesOnly, FOF_FILESONLY},
        {TFileOpFlag::fofMultiDestFiles, FOF_MULTIDESTFILES},
        {TFileOpFlag::fofNoConfirmation, FOF_NOCONFIRMATION},
        {TFileOpFlag::fofNoConfirmMkDir, FOF_NOCONFIRMMKDIR},
        {TFileOpFlag::fofRenameOnCollision, FOF_RENAMEONCOLLISION},
        {TFileOpFlag::fofSilent, FOF_SILENT},
        {TFileOpFlag::fofSimpleProgress, FOF_SIMPLEPROGRESS},
        {TFileOpFlag::fofNoErrorUI, FOF_NOERRORUI},
    };
    FILEOP_FLAGS bits = 0;
    for (auto [flag, bit] : kBits)
        if (flags.count(flag)) bits |= bit;
    return bits;
}

std::vector<std::wstring> TFileOperation::About() const {
    return {L"TFileOperation: kopiowanie, przenoszenie, zmiana nazw i usuwanie plików",
            L"przez powłokę systemu, z jej oknami postępu i potwierdzeń oraz Koszem."};
}

bool TFileOperation::Execute() {
    aborted_ = false;
    std::optional<std::wstring> from = ShellPathList(FilesFrom);
    if (!from) return false;
    std::optional<std::wstring> to;
    if (Operation != TFileOp::foDelete) {
        to = ShellPathList(FilesTo);
        if (!to) return false;
    }
    HWND parent = nullptr;
    if (Form* form = owner_ ? OwnerForm(owner_) : Form::Active()) parent = form->Handle();
    SHFILEOPSTRUCTW op{};
    op.hwnd = parent;
    op.wFunc = Operation == TFileOp::foCopy     ? FO_COPY
               : Operation == TFileOp::foDelete ? FO_DELETE
               : Operation == TFileOp::foMove   ? FO_MOVE
                                                : FO_RENAME;
    op.pFrom = from->c_str();
    op.pTo = to ? to->c_str() : nullptr;
    op.fFlags = ShellFlags(Flags);
    op.lpszProgressTitle = ProgressTitle.c_str();
    int result = SHFileOperationW(&op);
    aborted_ = op.fAnyOperationsAborted != FALSE;
    return result == 0;
}
