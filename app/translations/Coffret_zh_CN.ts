<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
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
    <name>CfrWorker</name>
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
    <name>FileModel</name>
    <message>
        <source>File</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>文件夹</translation>
    </message>
    <message>
        <source>%1 B</source>
        <translation>%1 B</translation>
    </message>
    <message>
        <source> KB</source>
        <translation> KB</translation>
    </message>
    <message>
        <source> MB</source>
        <translation> MB</translation>
    </message>
    <message>
        <source> GB</source>
        <translation> GB</translation>
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
    <name>UserData</name>
    <message>
        <source>Password Name</source>
        <translation>密码名称</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>密码</translation>
    </message>
</context>
</TS>
