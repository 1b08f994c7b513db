import QtQuick 2.15
import Coffret 1.0
import "PathRules.js" as PathRules
import "WindowRules.js" as WindowRules

// Packing the Pack list: destination with the chosen format's extension, a password where
// the format takes one, and the job.
QtObject {
    property Item window
    property var passwordDialog
    property var progressDialog

    // A dropped folder may come without its trailing slash: the disk decides then.
    function addDropped(path, isFolder) {
        var before = window.fileModel.count;
        window.fileModel.addDirectory(path);
        if (!isFolder && window.fileModel.count === before)
            window.fileModel.addFile(path);
    }

    function packRequested() {
        if (window.fileModel.count === 0 || window.jobRunning())
            return;
        var label = window.packFormatLabel();
        var chosen = AppBackend.getSaveFileName(qsTr("Save packed file"), label);
        if (chosen.length > 0)
            packTo(chosen);
    }

    function packTo(chosen) {
        var dest = PathRules.withPackExtension(chosen, window.packExt);
        // The save dialog asked about the name it was given, not about this one.
        if (dest !== chosen && AppBackend.pathExists(dest)
                && !AppBackend.confirm(qsTr("Replace file"),
                                       qsTr("\"%1\" already exists. Replace it?")
                                       .arg(PathRules.fileName(dest))))
            return;
        window.packDestFile = dest;
        if (WindowRules.packNeedsPassword(PackController.formatCanEncrypt(dest),
                                          PackController.formatRequiresPassword(dest),
                                          window.packEncrypt)) {
            passwordDialog.forVault = false;
            passwordDialog.isForPack = true;
            passwordDialog.passwordOptional = false;
            passwordDialog.promptName = "";
            passwordDialog.show();
            return;
        }
        start(dest, "");
    }

    function start(dest, password) {
        window.pendingPackPassword = password;
        PackController.pack(window.fileModel.getAllFileInfos(), dest, password);
        progressDialog.show();
    }

    function passwordAccepted() {
        start(window.packDestFile, passwordDialog.enteredPassword);
    }
}
