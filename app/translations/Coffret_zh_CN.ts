<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>AboutWindow</name>
    <message>
        <source>About Coffret</source>
        <translation>关于 Coffret</translation>
    </message>
    <message>
        <source>Version </source>
        <translation>版本 </translation>
    </message>
</context>
<context>
    <name>AddPasswordWindow</name>
    <message>
        <source>Input password name please!</source>
        <translation>请输入密码名称！</translation>
    </message>
    <message>
        <source>Input password please!</source>
        <translation>请输入密码！</translation>
    </message>
    <message>
        <source>Password must be the same as confirm!</source>
        <translation>两次输入的密码必须一致！</translation>
    </message>
    <message>
        <source>Add password</source>
        <translation>添加密码</translation>
    </message>
    <message>
        <source>Password Name</source>
        <translation>密码名称</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>密码</translation>
    </message>
    <message>
        <source>Confirm Password</source>
        <translation>确认密码</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>AppBackend</name>
    <message>
        <source>Select files to pack</source>
        <translation>选择要打包的文件</translation>
    </message>
    <message>
        <source>All files (*.*)</source>
        <translation>所有文件 (*.*)</translation>
    </message>
    <message>
        <source>Select directories to pack</source>
        <translation>选择要打包的文件夹</translation>
    </message>
    <message>
        <source>Save packed file</source>
        <translation>保存打包文件</translation>
    </message>
    <message>
        <source>cfr pack file (*.cfr);;zip file (*.zip)</source>
        <translation>cfr 加密包 (*.cfr);;zip 文件 (*.zip)</translation>
    </message>
    <message>
        <source>Choose directory</source>
        <translation>选择文件夹</translation>
    </message>
</context>
<context>
    <name>ArchiveWorker</name>
    <message>
        <source>%1 of %2 archive(s) failed: %3</source>
        <translation>%2 个压缩包中有 %1 个失败：%3</translation>
    </message>
    <message>
        <source>Wrong password or corrupt file</source>
        <translation>密码错误或文件已损坏</translation>
    </message>
    <message>
        <source>Unsupported format</source>
        <translation>不支持的格式</translation>
    </message>
    <message>
        <source>Cannot open file</source>
        <translation>无法打开文件</translation>
    </message>
    <message>
        <source>Operation failed</source>
        <translation>操作失败</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1（%2）</translation>
    </message>
    <message>
        <source>RAR encryption is not supported</source>
        <translation>不支持 RAR 加密</translation>
    </message>
    <message>
        <source>the part %1 is missing</source>
        <translation>缺少分卷 %1</translation>
    </message>
    <message>
        <source>a compression or encryption method that cannot be read</source>
        <translation>无法读取的压缩或加密方式</translation>
    </message>
</context>
<context>
    <name>DesktopVaultPage</name>
    <message>
        <source>Vault is empty</source>
        <translation>保险库是空的</translation>
    </message>
    <message>
        <source>Drag a .cfr here to import &amp; unlock, or click Import.</source>
        <translation>将 .cfr 拖到这里即可导入并解锁，或点击“导入”。</translation>
    </message>
    <message>
        <source>Imported</source>
        <translation>导入</translation>
    </message>
    <message>
        <source>Local</source>
        <translation>本地</translation>
    </message>
    <message>
        <source>Import .cfr</source>
        <translation>导入 .cfr</translation>
    </message>
</context>
<context>
    <name>DropOverlay</name>
    <message>
        <source>Drop files here</source>
        <translation>将文件拖放到这里</translation>
    </message>
</context>
<context>
    <name>FileListHeader</name>
    <message>
        <source>File Name</source>
        <translation>文件名</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>路径</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>大小</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>类型</translation>
    </message>
</context>
<context>
    <name>FileModel</name>
    <message>
        <source>File</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>文件夹</translation>
    </message>
</context>
<context>
    <name>FileOpener</name>
    <message>
        <source>Could not open %1</source>
        <translation>无法打开 %1</translation>
    </message>
</context>
<context>
    <name>FilePicker</name>
    <message>
        <source>Select files</source>
        <translation>选择文件</translation>
    </message>
    <message>
        <source>All files (*.*)</source>
        <translation>所有文件 (*.*)</translation>
    </message>
    <message>
        <source>Select archive</source>
        <translation>选择压缩包</translation>
    </message>
    <message>
        <source>Coffret / Zip (*.cfr *.zip)</source>
        <translation>Coffret / Zip (*.cfr *.zip)</translation>
    </message>
</context>
<context>
    <name>LockScreen</name>
    <message>
        <source>Vault is locked</source>
        <translation>保险库已锁定</translation>
    </message>
    <message>
        <source>Enter your master password to open the vault.</source>
        <translation>输入主密码以打开保险库。</translation>
    </message>
    <message>
        <source>Set a master password to protect the vault.</source>
        <translation>设置主密码来保护保险库。</translation>
    </message>
    <message>
        <source>Unlock vault</source>
        <translation>解锁保险库</translation>
    </message>
    <message>
        <source>Set master password</source>
        <translation>设置主密码</translation>
    </message>
</context>
<context>
    <name>MainMenuButton</name>
    <message>
        <source>Password Manager</source>
        <translation>密码管理</translation>
    </message>
    <message>
        <source>Check for Updates</source>
        <translation>检查更新</translation>
    </message>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Pack succeeded!
File saved: %1</source>
        <translation>打包成功！
文件已保存：%1</translation>
    </message>
    <message>
        <source>Extract succeeded!
Files extracted to: %1</source>
        <translation>解压成功！
文件已解压到：%1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is already in the vault (identical content), so it was not added again.</source>
        <translation>“%1”已在保险库中（内容相同），因此没有重复添加。</translation>
    </message>
    <message>
        <source>Please wait until the running job has finished.</source>
        <translation>请等待当前任务完成。</translation>
    </message>
    <message>
        <source>Only files and folders on this computer can be dropped.</source>
        <translation>只能拖放本机上的文件和文件夹。</translation>
    </message>
    <message>
        <source>Password copied</source>
        <translation>密码已复制</translation>
    </message>
    <message>
        <source>Cancelled</source>
        <translation>已取消</translation>
    </message>
</context>
<context>
    <name>MasterPasswordOverlay</name>
    <message>
        <source>Please enter a master password.</source>
        <translation>请输入主密码。</translation>
    </message>
    <message>
        <source>The two passwords do not match.</source>
        <translation>两次输入的密码不一致。</translation>
    </message>
    <message>
        <source>Incorrect master password.</source>
        <translation>主密码不正确。</translation>
    </message>
    <message>
        <source>Set master password</source>
        <translation>设置主密码</translation>
    </message>
    <message>
        <source>Unlock vault</source>
        <translation>解锁保险库</translation>
    </message>
    <message>
        <source>This password protects your vault on this computer. Don&apos;t forget it — it cannot be recovered.</source>
        <translation>此密码用于保护本机上的保险库。请牢记，它无法找回。</translation>
    </message>
    <message>
        <source>Enter your master password to open the vault.</source>
        <translation>输入主密码以打开保险库。</translation>
    </message>
    <message>
        <source>Master password</source>
        <translation>主密码</translation>
    </message>
    <message>
        <source>Confirm master password</source>
        <translation>确认主密码</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Unlock</source>
        <translation>解锁</translation>
    </message>
</context>
<context>
    <name>MessageDialog</name>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>PackController</name>
    <message>
        <source>Packing...</source>
        <translation>正在打包…</translation>
    </message>
    <message>
        <source>Extracting...</source>
        <translation>正在解压…</translation>
    </message>
    <message>
        <source>Pack succeeded!</source>
        <translation>打包成功！</translation>
    </message>
    <message>
        <source>Extract succeeded!</source>
        <translation>解压成功！</translation>
    </message>
    <message>
        <source>Pack failed: %1</source>
        <translation>打包失败：%1</translation>
    </message>
    <message>
        <source>Extract failed: %1</source>
        <translation>解压失败：%1</translation>
    </message>
    <message>
        <source>Cancelled</source>
        <translation>已取消</translation>
    </message>
</context>
<context>
    <name>PackFlow</name>
    <message>
        <source>Save packed file</source>
        <translation>保存打包文件</translation>
    </message>
    <message>
        <source>Replace file</source>
        <translation>替换文件</translation>
    </message>
    <message>
        <source>&quot;%1&quot; already exists. Replace it?</source>
        <translation>“%1”已存在。要替换它吗？</translation>
    </message>
</context>
<context>
    <name>PackPage</name>
    <message>
        <source>No files added yet</source>
        <translation>尚未添加文件</translation>
    </message>
    <message>
        <source>Drag &amp; drop files here, or use the buttons below</source>
        <translation>将文件拖放到这里，或使用下方的按钮</translation>
    </message>
</context>
<context>
    <name>PackToolbar</name>
    <message>
        <source>Files</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>Select files to pack</source>
        <translation>选择要打包的文件</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>文件夹</translation>
    </message>
    <message>
        <source>Select directories to pack</source>
        <translation>选择要打包的文件夹</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清空</translation>
    </message>
    <message>
        <source>Compress format</source>
        <translation>压缩格式</translation>
    </message>
    <message>
        <source>Encrypt</source>
        <translation>加密</translation>
    </message>
    <message>
        <source>Pack</source>
        <translation>打包</translation>
    </message>
</context>
<context>
    <name>PasswordDialog</name>
    <message>
        <source>Password</source>
        <translation>密码</translation>
    </message>
    <message>
        <source>Random Password</source>
        <translation>随机密码</translation>
    </message>
    <message>
        <source>Input password please!</source>
        <translation>请输入密码！</translation>
    </message>
    <message>
        <source>Password must be the same as confirm!</source>
        <translation>两次输入的密码必须一致！</translation>
    </message>
    <message>
        <source>Choose saved password</source>
        <translation>选择已保存的密码</translation>
    </message>
    <message>
        <source>Password for &quot;%1&quot;</source>
        <translation>“%1”的密码</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>确认密码</translation>
    </message>
    <message>
        <source>Copy Password</source>
        <translation>复制密码</translation>
    </message>
    <message>
        <source>Password copied!</source>
        <translation>密码已复制！</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>PasswordManagerWindow</name>
    <message>
        <source>Password Manager</source>
        <translation>密码管理</translation>
    </message>
    <message>
        <source>Password Name</source>
        <translation>密码名称</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>密码</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>上移</translation>
    </message>
    <message>
        <source>Down</source>
        <translation>下移</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>添加</translation>
    </message>
</context>
<context>
    <name>ProgressDialog</name>
    <message>
        <source>Round 1</source>
        <translation>第 1 轮</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>进度</translation>
    </message>
    <message>
        <source>Round 2</source>
        <translation>第 2 轮</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Cancelling...</source>
        <translation>正在取消…</translation>
    </message>
    <message>
        <source>Cancel this job?</source>
        <translation>取消此任务？</translation>
    </message>
</context>
<context>
    <name>ResultDialog</name>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>TopBar</name>
    <message>
        <source>Vault</source>
        <translation>保险库</translation>
    </message>
    <message>
        <source>Pack</source>
        <translation>打包</translation>
    </message>
</context>
<context>
    <name>UpdateChecker</name>
    <message>
        <source>Cannot write to %1: %2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
    <message>
        <source>The downloaded file does not match its published checksum</source>
        <translation>下载的文件与公布的校验和不一致</translation>
    </message>
    <message>
        <source>Updates for this installation come from your system&apos;s package manager.</source>
        <translation>此安装的更新由系统的软件包管理器提供。</translation>
    </message>
</context>
<context>
    <name>UpdateDialog</name>
    <message>
        <source>New version %1 available</source>
        <translation>有新版本 %1 可用</translation>
    </message>
    <message>
        <source>Downloading… %1%</source>
        <translation>正在下载… %1%</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>稍后</translation>
    </message>
    <message>
        <source>Downloading…</source>
        <translation>正在下载…</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>更新</translation>
    </message>
</context>
<context>
    <name>UpdateOutcomes</name>
    <message>
        <source>You&apos;re up to date.</source>
        <translation>已是最新版本。</translation>
    </message>
    <message>
        <source>Could not check for updates. Please try again later.</source>
        <translation>无法检查更新，请稍后再试。</translation>
    </message>
    <message>
        <source>Download failed: %1</source>
        <translation>下载失败：%1</translation>
    </message>
</context>
<context>
    <name>VaultFlow</name>
    <message>
        <source>Could not import &quot;%1&quot;.</source>
        <translation>无法导入“%1”。</translation>
    </message>
    <message>
        <source>Import archive into vault</source>
        <translation>将压缩包导入保险库</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not an archive.</source>
        <translation>“%1”不是压缩包。</translation>
    </message>
    <message>
        <source>Extracted files changed</source>
        <translation>解压的文件已更改</translation>
    </message>
    <message>
        <source>The extracted files of &quot;%1&quot; were changed after extraction. Discard those changes and extract again?</source>
        <translation>“%1”解压出的文件在解压后被修改过。要放弃这些修改并重新解压吗？</translation>
    </message>
    <message>
        <source>Unsupported format</source>
        <translation>不支持的格式</translation>
    </message>
</context>
<context>
    <name>VaultRowMenu</name>
    <message>
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>Open extracted folder</source>
        <translation>打开解压文件夹</translation>
    </message>
    <message>
        <source>Copy password</source>
        <translation>复制密码</translation>
    </message>
    <message>
        <source>Show package in folder</source>
        <translation>在文件夹中显示加密包</translation>
    </message>
    <message>
        <source>Clear extracted files</source>
        <translation>清除解压的文件</translation>
    </message>
    <message>
        <source>Delete the extracted files for &quot;%1&quot;? The package and its saved password are kept.</source>
        <translation>删除“%1”解压出的文件？加密包及其保存的密码会保留。</translation>
    </message>
    <message>
        <source>Forget password</source>
        <translation>忘记密码</translation>
    </message>
    <message>
        <source>Delete from vault…</source>
        <translation>从保险库删除…</translation>
    </message>
    <message>
        <source>Delete from vault</source>
        <translation>从保险库删除</translation>
    </message>
    <message>
        <source>Remove &quot;%1&quot; from the vault and delete its files from disk?</source>
        <translation>将“%1”从保险库移除，并从磁盘删除其文件？</translation>
    </message>
</context>
</TS>
