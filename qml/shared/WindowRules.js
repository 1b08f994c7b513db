.pragma library

// Decisions of the windows, kept apart from the documents that show their outcome.

// The master-password overlay is due when the Vault tab shows a locked vault.
function vaultPromptDue(currentTab, unlocked, overlayShown) {
    return currentTab === 0 && !unlocked && !overlayShown;
}

// Encryption is the user's choice only where the format offers it without requiring it.
function encryptOptional(canEncrypt, mustEncrypt) {
    return canEncrypt && !mustEncrypt;
}

function packNeedsPassword(canEncrypt, mustEncrypt, encryptChecked) {
    return canEncrypt && (mustEncrypt || encryptChecked);
}

// What is wrong with a new master password: "empty", "mismatch", or "" when it can be set.
function masterPasswordProblem(first, confirm) {
    if (first.length === 0)
        return "empty";
    return first === confirm ? "" : "mismatch";
}

// What is wrong with a new saved password, checked in the order the user reads the fields:
// "name", "password", "mismatch", or "" when it can be added.
function savedPasswordProblem(name, password, confirm) {
    if (name.length === 0)
        return "name";
    if (password.length === 0)
        return "password";
    return password === confirm ? "" : "mismatch";
}
