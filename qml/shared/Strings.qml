import QtQuick 2.15
import Coffret 1.0

// Texts of the touch interface in Chinese and English; they switch live with `lang`.
QtObject {
    id: strings

    // "" follows the system; "zh" or "en" is the user's choice, kept in the settings store.
    property string langPref: ""
    // The system's locale, given at creation: the program's own default locale is always
    // Chinese and says nothing about the user's language.
    property string systemLocaleName: Qt.locale().name
    readonly property string systemLang: systemLocaleName.toLowerCase().indexOf("zh") === 0
                                         ? "zh" : "en"
    // Anything but a known choice in the store follows the system too.
    readonly property string lang: langPref === "zh" || langPref === "en" ? langPref : systemLang

    property bool loaded: false

    Component.onCompleted: {
        langPref = AppBackend.getSetting("i18n/langPref", "");
        loaded = true;
    }
    onLangPrefChanged: {
        if (loaded)
            AppBackend.setSetting("i18n/langPref", langPref);
    }

    function pick(zh, en) {
        return lang === "zh" ? zh : en;
    }

    readonly property string appName: pick("珂匣", "Coffret")
    readonly property string vault: pick("我的加密包", "My Packages")
    readonly property string unsupported: pick("不支持的格式（RAR 需要额外支持）",
                                               "Unsupported format (RAR needs extra support)")
    readonly property string search: pick("搜索", "Search")
    readonly property string emptyTitle: pick("资料库是空的", "Your library is empty")
    readonly property string emptyBody: pick("点按下方的按钮，安全地打包你的文件。",
                                             "Tap the button below to securely pack your files.")
    readonly property string newPackage: pick("新建加密包", "New Encrypted Package")
    readonly property string decrypted: pick("已解密", "Decrypted")
    readonly property string share: pick("分享", "Share")
    readonly property string exportItem: pick("导出", "Export")
    readonly property string del: pick("删除", "Delete")
    readonly property string working: pick("正在处理…", "Working…")
    readonly property string packageCreated: pick("加密包已创建", "Package created")
    readonly property string imported: pick("已导入", "Imported")
    readonly property string duplicate: pick("已在资料库中：%1", "Already in your library: %1")
    readonly property string fileMissing: pick("找不到这个文件了", "This file is no longer there")
    readonly property string folderUnreadable: pick("无法读取这个文件夹", "This folder cannot be read")
    readonly property string tagImported: pick("导入", "Imported")
    readonly property string tagLocal: pick("本地", "Local")
    readonly property string passwordCopied: pick("密码已复制", "Password copied")
    readonly property string noPasswordSaved: pick("没有保存的密码", "No saved password")
    readonly property string randomCopied: pick("随机密码已复制", "Random password copied")
    readonly property string extracted: pick("已解压", "Extracted")
    readonly property string wrongPassword: pick("密码错误或文件已损坏",
                                                 "Wrong password or corrupt file")
    readonly property string openIn: pick("打开方式…", "Open in…")
    readonly property string newPackageTitle: pick("新建加密包", "New Package")
    readonly property string itemsSelected: pick("已选择 %1 项", "%1 item(s) selected")
    readonly property string password: pick("密码", "Password")
    readonly property string randomPassword: pick("随机密码", "Random Password")
    readonly property string encrypt: pick("加密", "Encrypt")
    readonly property string unlockExtract: pick("解锁并解压", "Unlock & Extract")
    readonly property string notProtected: pick("已解密 — 不受保护", "Decrypted — not protected")
    readonly property string exportTitle: pick("导出", "Export")
    readonly property string encCfr: pick("加密的 .cfr", "Encrypted .cfr")
    readonly property string safeCloud: pick("可放心存到云端", "Safe to keep in the cloud")
    readonly property string decFolder: pick("解密后的文件夹", "Decrypted folder")
    readonly property string plaintextCloud: pick("明文，请勿上传到云端",
                                                  "Plain text: keep it off the cloud")
    readonly property string passwords: pick("密码", "Passwords")
    readonly property string addPassword: pick("添加密码", "Add Password")
    readonly property string pwdName: pick("名称", "Name")
    readonly property string confirmPwd: pick("确认密码", "Confirm Password")
    readonly property string noPasswords: pick("还没有保存的密码", "No saved passwords yet")
    readonly property string useSaved: pick("选择已保存的密码", "Choose saved password")
    readonly property string save: pick("保存", "Save")
    readonly property string cancel: pick("取消", "Cancel")
    readonly property string nameRequired: pick("请输入名称", "Enter a name")
    readonly property string pwdRequired: pick("请输入密码", "Enter a password")
    readonly property string pwdMismatch: pick("两次输入的密码不一致", "Passwords don't match")
    readonly property string deleteQ: pick("删除？", "Delete?")
    readonly property string confirmDelete: pick("删除“%1”？此操作无法撤销。",
                                                 "Delete \"%1\"? This cannot be undone.")
    readonly property string settings: pick("设置", "Settings")
    readonly property string clearExtracted: pick("清除已解压的文件", "Clear extracted files")
    readonly property string foldersCount: pick("%1 个文件夹", "%1 folder(s)")
    readonly property string about: pick("关于", "About")
    readonly property string version: pick("版本", "Version")
    readonly property string language: pick("语言", "Language")
    readonly property string langAuto: pick("跟随系统", "Follow system")
    readonly property string langZh: "中文"
    readonly property string langEn: "English"
    readonly property string rarCredit: pick("RAR 解压由 libarchive 提供",
                                             "RAR extraction powered by libarchive")
}
