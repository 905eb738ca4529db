<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>CommandLine</name>
    <message>
        <source>Reads and writes the information block of KR350 radios over a serial cable.</source>
        <translation>通过串口数据线读写 KR350 系列电台的信息块。</translation>
    </message>
    <message>
        <source>Append a timestamped trace of every frame sent and received, every expiry and every ending to &lt;file&gt;, for support.</source>
        <translation>将收发的每一帧、每次超时和每次操作结束连同时间戳追加写入 &lt;file&gt;，供技术支持使用。</translation>
    </message>
    <message>
        <source>file</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>Unknown argument: %1</source>
        <translation>未知参数：%1</translation>
    </message>
    <message>
        <source>--trace needs a file name.</source>
        <translation>--trace 需要一个文件名。</translation>
    </message>
</context>
<context>
    <name>FailureDetail</name>
    <message>
        <source>band</source>
        <translation>频段</translation>
    </message>
    <message>
        <source>password</source>
        <translation>密码</translation>
    </message>
    <message>
        <source>dealer code</source>
        <translation>经销商代码</translation>
    </message>
    <message>
        <source>stock date</source>
        <translation>进货日期</translation>
    </message>
    <message>
        <source>sell date</source>
        <translation>销售日期</translation>
    </message>
    <message>
        <source>seller</source>
        <translation>经手人</translation>
    </message>
    <message>
        <source>, </source>
        <translation>、</translation>
    </message>
    <message>
        <source>%1 and %2</source>
        <translation>%1和%2</translation>
    </message>
    <message>
        <source>COM%1</source>
        <translation>COM%1</translation>
    </message>
    <message>
        <source>COM%1 (%2)</source>
        <translation>COM%1（%2）</translation>
    </message>
    <message>
        <source>The radio did not answer %1 on %2. Check that the radio is switched on and within reach of the cable, that the cable is seated firmly at both ends, and that COM%3 is the port the cable is on.</source>
        <translation>电台在 %2 上没有应答%1。请检查电台已开机并已接好数据线，数据线两端插紧，并且编程线确实连接在 COM%3 上。</translation>
    </message>
    <message>
        <source>the request to enter programming mode (PROGRAM)</source>
        <translation>进入编程模式的请求（PROGRAM）</translation>
    </message>
    <message>
        <source>the identification request</source>
        <translation>识别请求</translation>
    </message>
    <message>
        <source>the read of block %1</source>
        <translation>第 %1 块的读取</translation>
    </message>
    <message>
        <source>the write of block %1</source>
        <translation>第 %1 块的写入</translation>
    </message>
    <message>
        <source>The serial port was lost: the cable was pulled or the adapter removed.</source>
        <translation>串口已断开：数据线被拔出，或转换器被移除。</translation>
    </message>
    <message>
        <source>The serial port did not accept the data.</source>
        <translation>串口不接受发送的数据。</translation>
    </message>
    <message>
        <source>Reading back showed the new %1 in the radio.</source>
        <translation>回读表明电台中已是新的%1。</translation>
    </message>
    <message>
        <source>Block %1, which holds the %2, read back differently from what was written.</source>
        <translation>第 %1 块（存放%2）回读的内容与写入的不同。</translation>
    </message>
    <message>
        <source>The radio acknowledged the new %1 (not read back to check).</source>
        <translation>电台已应答新的%1（未经回读核对）。</translation>
    </message>
    <message>
        <source>The radio confirmed none of the new values; some may have reached it.</source>
        <translation>电台没有确认任何新值，其中一些可能已写入电台。</translation>
    </message>
    <message>
        <source>The radio did not confirm the new %1.</source>
        <translation>电台没有确认新的%1。</translation>
    </message>
    <message>
        <source>The radio answered %1 on %2 only by asking for it again: it hears the cable, but not clearly. Check that the cable is seated firmly at both ends.</source>
        <translation>电台在 %2 上对%1只回应“请重发”：它能收到信号，但收得不清楚。请检查数据线两端是否插紧。</translation>
    </message>
    <message>
        <source>The radio answered %1 on %2 with block %3. Switch the radio off and on, then try again.</source>
        <translation>电台在 %2 上对%1回应的是第 %3 块。请将电台关机再开机，然后重试。</translation>
    </message>
    <message>
        <source>The radio&apos;s answers to %1 on %2 did not check out (length, lead bytes or checksum). Check that the cable is seated firmly at both ends, and that COM%3 is the port the cable is on.</source>
        <translation>电台在 %2 上对%1的应答校验不通过（长度、前导字节或校验和有误）。请检查数据线两端插紧，并且编程线确实连接在 COM%3 上。</translation>
    </message>
    <message>
        <source>the read-back of block %1</source>
        <translation>第 %1 块的回读</translation>
    </message>
    <message>
        <source>the second write of block %1</source>
        <translation>第 %1 块的第二次写入</translation>
    </message>
    <message>
        <source>Write again; a radio that keeps storing other bytes than it is sent needs service.</source>
        <translation>请重新写入；如果电台一再存入与发送内容不同的数据，需要送修。</translation>
    </message>
    <message>
        <source>Write again once the radio answers.</source>
        <translation>请在电台恢复应答后重新写入。</translation>
    </message>
    <message>
        <source>A write is under way; nothing has been written to the radio yet.

Close anyway?</source>
        <translation>正在写入；尚未向电台写入任何内容。

仍要关闭吗？</translation>
    </message>
    <message>
        <source>A write is under way, and closing now ends it here. %1

Close anyway?</source>
        <translation>正在写入，现在关闭将在此处中止写入。%1

仍要关闭吗？</translation>
    </message>
</context>
<context>
    <name>FullFieldSign</name>
    <message>
        <source>%1 is full: %2 of %3 bytes</source>
        <translation>%1已满：%2/%3 字节</translation>
    </message>
</context>
<context>
    <name>MessageBoxes</name>
    <message>
        <source>Details</source>
        <translation>详细信息</translation>
    </message>
</context>
<context>
    <name>History</name>
    <message>
        <source>(unknown)</source>
        <translation>（未知）</translation>
    </message>
    <message>
        <source>, </source>
        <translation>、</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>写入</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>读出</translation>
    </message>
    <message>
        <source>Complete</source>
        <translation>成功</translation>
    </message>
    <message>
        <source>Failure</source>
        <translation>失败</translation>
    </message>
    <message>
        <source>Unfinished</source>
        <translation>未完成</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>Operation</source>
        <translation>操作</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>结果</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>序列号</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>机型</translation>
    </message>
    <message>
        <source>Changed fields</source>
        <translation>更改的字段</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>消息</translation>
    </message>
    <message>
        <source>Detail</source>
        <translation>详情</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>串口</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>设备</translation>
    </message>
    <message>
        <source>Adapter serial number</source>
        <translation>适配器序列号</translation>
    </message>
    <message>
        <source>Bench</source>
        <translation>工位</translation>
    </message>
    <message>
        <source>Entry</source>
        <translation>记录编号</translation>
    </message>
    <message>
        <source>Restored from</source>
        <translation>恢复自</translation>
    </message>
    <message>
        <source>%1 before</source>
        <translation>%1（之前）</translation>
    </message>
    <message>
        <source>%1 after</source>
        <translation>%1（之后）</translation>
    </message>
</context>
<context>
    <name>HistoryDiff</name>
    <message>
        <source>on</source>
        <translation>开</translation>
    </message>
    <message>
        <source>off</source>
        <translation>关</translation>
    </message>
    <message>
        <source>changed</source>
        <translation>已更改</translation>
    </message>
    <message>
        <source>Other bytes</source>
        <translation>其他字节</translation>
    </message>
    <message numerus="yes">
        <source>%n byte(s) differ</source>
        <translation>
            <numerusform>%n 个字节不同</numerusform>
        </translation>
    </message>
    <message>
        <source>, adapter %1</source>
        <translation>，适配器 %1</translation>
    </message>
    <message>
        <source>Port: %1</source>
        <translation>串口：%1</translation>
    </message>
    <message>
        <source>Bench: %1</source>
        <translation>工位：%1</translation>
    </message>
    <message>
        <source>Entry: %1</source>
        <translation>记录编号：%1</translation>
    </message>
    <message>
        <source>Form filled from entry %1</source>
        <translation>表单数据来自记录 %1</translation>
    </message>
</context>
<context>
    <name>HistoryFile</name>
    <message>
        <source>The history file %1 is held by another program (waited %2 ms).</source>
        <translation>历史记录文件 %1 被另一个程序占用（已等待 %2 毫秒）。</translation>
    </message>
    <message>
        <source>The history file %1 is damaged.</source>
        <translation>历史记录文件 %1 已损坏。</translation>
    </message>
    <message>
        <source>The history file %1 is read-only.</source>
        <translation>历史记录文件 %1 是只读的。</translation>
    </message>
    <message>
        <source>The folder %1 of the history file is read-only.</source>
        <translation>历史记录文件所在的文件夹 %1 是只读的。</translation>
    </message>
    <message>
        <source>The history file %1 cannot grow: this program may write files of at most %2 bytes.</source>
        <translation>历史记录文件 %1 无法增大：本程序最多只能写入 %2 字节的文件。</translation>
    </message>
    <message>
        <source>The disk that holds the history file %1 is full.</source>
        <translation>存放历史记录文件 %1 的磁盘已满。</translation>
    </message>
    <message>
        <source>The history file %1 cannot be used: %2</source>
        <translation>无法使用历史记录文件 %1：%2</translation>
    </message>
    <message>
        <source>The history file was damaged. It was set aside as %1 and a new one was started.</source>
        <translation>历史记录文件已损坏，已另存为 %1，并新建了一个文件。</translation>
    </message>
</context>
<context>
    <name>HistoryStore</name>
    <message>
        <source>The history file %1 is damaged and cannot be moved aside.</source>
        <translation>历史记录文件 %1 已损坏，且无法移到一旁。</translation>
    </message>
    <message>
        <source>a log is left without its file</source>
        <translation>日志文件缺少对应的数据库文件</translation>
    </message>
    <message>
        <source>The history file %1 was written by a newer version of KelvraSet.</source>
        <translation>历史记录文件 %1 由更新版本的 KelvraSet 写入。</translation>
    </message>
    <message>
        <source>The history holds no unfinished entry %1.</source>
        <translation>历史记录中没有未完成的记录 %1。</translation>
    </message>
    <message>
        <source>An entry without its outcome cannot be stored.</source>
        <translation>没有结果的记录无法保存。</translation>
    </message>
</context>
<context>
    <name>SerialOpenReason</name>
    <message>
        <source>No serial port is selected. Pick the port of the programming cable in the port list.</source>
        <translation>未选择串口。请在串口列表中选择编程线所连接的串口。</translation>
    </message>
    <message>
        <source>COM%1 is not present: no serial device or port alias has this number. Plug the programming cable in, or pick another port.</source>
        <translation>COM%1 不存在：没有串口设备或串口别名使用此编号。请插上编程线，或选择其他串口。</translation>
    </message>
    <message>
        <source>COM%1: the device %2 is not there. Plug the programming cable in again, or pick another port.</source>
        <translation>COM%1：设备 %2 不存在。请重新插上编程线，或选择其他串口。</translation>
    </message>
    <message>
        <source>COM%1: the device %2 does not answer (%3). The adapter was unplugged or the port has no hardware behind it; pick another port.</source>
        <translation>COM%1：设备 %2 无响应（%3）。转换器已被拔出，或该串口没有对应的硬件；请选择其他串口。</translation>
    </message>
    <message>
        <source>COM%1: %2 is not a serial device. A port alias must point at a serial device such as /dev/ttyUSB0.</source>
        <translation>COM%1：%2 不是串口设备。串口别名必须指向串口设备，例如 /dev/ttyUSB0。</translation>
    </message>
    <message>
        <source>COM%1: access to %2 is denied. The device belongs to the group %3, and this user is not a member of it. Join the group %3%4; it takes effect at the next login.</source>
        <translation>COM%1：无权访问 %2。该设备属于用户组 %3，而当前用户不是该组成员。请加入用户组 %3%4；重新登录后生效。</translation>
    </message>
    <message>
        <source> (uucp on Arch)</source>
        <translation>（Arch 系统上为 uucp）</translation>
    </message>
    <message>
        <source>COM%1: access to %2 is denied. Its permissions %3 (owner %4, group %5) do not let this user read and write it. Ask the administrator to give the group %5 read and write access and to make this user a member of it.</source>
        <translation>COM%1：无权访问 %2。其权限 %3（所有者 %4，用户组 %5）不允许当前用户读写。请让管理员为用户组 %5 授予读写权限，并将当前用户加入该组。</translation>
    </message>
    <message>
        <source>COM%1: %2 is in use by the program %3 (process %4), which holds the lock file %5. Close that program and try again.</source>
        <translation>COM%1：%2 正被程序 %3（进程 %4）占用，该程序持有锁文件 %5。请关闭该程序后重试。</translation>
    </message>
    <message>
        <source>COM%1: %2 is locked by the lock file %3 of process %4, which no longer runs. Delete that lock file and try again.</source>
        <translation>COM%1：%2 被进程 %4 的锁文件 %3 锁定，但该进程已不在运行。请删除该锁文件后重试。</translation>
    </message>
    <message>
        <source>COM%1: %2 is in use by the program %3 (process %4). Close that program and try again.</source>
        <translation>COM%1：%2 正被程序 %3（进程 %4）占用。请关闭该程序后重试。</translation>
    </message>
    <message>
        <source>COM%1: %2 is in use by another program. Close that program and try again.</source>
        <translation>COM%1：%2 正被其他程序占用。请关闭该程序后重试。</translation>
    </message>
    <message>
        <source>COM%1: %2 could not be opened: %3.</source>
        <translation>COM%1：无法打开 %2：%3。</translation>
    </message>
    <message>
        <source>No serial port was found. Plug the programming cable in; its port appears in the port list within a second.</source>
        <translation>未找到串口。请插上编程线，其串口会在一秒内出现在串口列表中。</translation>
    </message>
    <message>
        <source>COM%1: access to %2 is denied. This user was added to the group %3 after this session began, so the program does not have the group yet. Log out and in again; or, in a terminal, run newgrp %3 and start KelvraSet from there.</source>
        <translation>COM%1：无权访问 %2。当前用户是在本次登录之后才加入用户组 %3 的，所以程序还没有该组的权限。请注销后重新登录；或者在终端中运行 newgrp %3，再从该终端启动 KelvraSet。</translation>
    </message>
    <message>
        <source>COM%1: access to %2 is denied. Its permissions %3 (owner %4, group %5) let only the administrator use it. Ask the administrator for a udev rule that gives the device to the group dialout.</source>
        <translation>COM%1：无权访问 %2。其权限 %3（所有者 %4，组 %5）只允许管理员使用。请管理员添加 udev 规则，把该设备交给 dialout 组。</translation>
    </message>
    <message>
        <source> The section &quot;Serial ports on Linux&quot; of %1 explains it.</source>
        <translation>%1 中的“Serial ports on Linux”一节有详细说明。</translation>
    </message>
    <message>
        <source>the README</source>
        <translation>README</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>The serial port was not saved to %1: %2.</source>
        <translation>串口未能保存到 %1：%2。</translation>
    </message>
    <message>
        <source>it is not a regular file of at most 64 KiB</source>
        <translation>它不是不超过 64 KiB 的普通文件</translation>
    </message>
    <message>
        <source>it is a link to %1, which does not exist</source>
        <translation>它是指向 %1 的链接，而该目标不存在</translation>
    </message>
    <message>
        <source>it would grow past 64 KiB and could then no longer be read</source>
        <translation>写入后会超过 64 KiB，之后将无法再读取</translation>
    </message>
    <message>
        <source>another program keeps it locked</source>
        <translation>另一个程序正锁定着它</translation>
    </message>
    <message>
        <source>its text is in an encoding that cannot be written back unchanged</source>
        <translation>其文本所用的编码无法原样写回</translation>
    </message>
</context>
<context>
    <name>TraceFile</name>
    <message>
        <source>The trace to %1 stopped: %2. Reading and writing go on without it.</source>
        <translation>跟踪文件 %1 已停止写入：%2。读写操作照常进行，不再记录跟踪。</translation>
    </message>
    <message>
        <source>Cannot write the trace to %1: %2</source>
        <translation>无法将跟踪写入 %1：%2</translation>
    </message>
    <message>
        <source>it is not a regular file, a terminal or a pipe.</source>
        <translation>它不是普通文件、终端或管道。</translation>
    </message>
    <message>
        <source>no program is reading from it.</source>
        <translation>没有程序在读取它。</translation>
    </message>
</context>
<context>
    <name>SharedServer</name>
    <message>
        <source>The history server %1 is not a postgresql:// address.</source>
        <translation>历史记录服务器 %1 不是 postgresql:// 地址。</translation>
    </message>
    <message>
        <source>The history server&apos;s option %1 cannot be used.</source>
        <translation>历史记录服务器的选项 %1 无法使用。</translation>
    </message>
    <message>
        <source>The history server %1 names no database.</source>
        <translation>历史记录服务器 %1 未指定数据库。</translation>
    </message>
</context>
<context>
    <name>kelvra::HistoryWindow</name>
    <message>
        <source>History - %1</source>
        <translation>历史记录 - %1</translation>
    </message>
    <message>
        <source>Serial number filter</source>
        <translation>按序列号筛选</translation>
    </message>
    <message>
        <source>Entries</source>
        <translation>记录</translation>
    </message>
    <message>
        <source>Entry details</source>
        <translation>记录详情</translation>
    </message>
    <message>
        <source>Field</source>
        <translation>字段</translation>
    </message>
    <message>
        <source>Before</source>
        <translation>之前</translation>
    </message>
    <message>
        <source>After</source>
        <translation>之后</translation>
    </message>
    <message>
        <source>Differences</source>
        <translation>差异</translation>
    </message>
    <message>
        <source>Show pass&amp;words in the export</source>
        <translation>导出时显示密码(&amp;W)</translation>
    </message>
    <message>
        <source>&amp;Put these values in the form</source>
        <translation>将这些值填入表单(&amp;P)</translation>
    </message>
    <message>
        <source>&amp;Export CSV...</source>
        <translation>导出 CSV(&amp;E)...</translation>
    </message>
    <message>
        <source>Save &amp;block...</source>
        <translation>保存数据块(&amp;B)...</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>关闭(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Differences:</source>
        <translation>差异(&amp;D):</translation>
    </message>
    <message>
        <source>E&amp;ntries:</source>
        <translation>记录(&amp;N):</translation>
    </message>
    <message>
        <source>&amp;Serial number:</source>
        <translation>序列号(&amp;S):</translation>
    </message>
    <message>
        <source>Exported to %1.</source>
        <translation>已导出到 %1。</translation>
    </message>
    <message>
        <source>Cannot export to %1: %2</source>
        <translation>无法导出到 %1：%2</translation>
    </message>
    <message>
        <source>Cannot save %1: %2</source>
        <translation>无法保存 %1：%2</translation>
    </message>
    <message numerus="yes">
        <source>Saved %1; %n byte(s) were not known and are saved as FF.</source>
        <translation>
            <numerusform>已保存 %1；其中 %n 个未知字节保存为 FF。</numerusform>
        </translation>
    </message>
    <message>
        <source>Saved %1.</source>
        <translation>已保存 %1。</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>导出 CSV</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV 文件 (*.csv)</translation>
    </message>
    <message>
        <source>Save block</source>
        <translation>保存数据块</translation>
    </message>
    <message>
        <source>Block files (*.bin)</source>
        <translation>数据块文件 (*.bin)</translation>
    </message>
</context>
<context>
    <name>kelvra::PortList</name>
    <message>
        <source>S/N %1</source>
        <translation>序列号 %1</translation>
    </message>
</context>
<context>
    <name>kelvra::HistoryRecorder</name>
    <message>
        <source>The values in the form are those of radio %1, taken from the history, but the radio connected is %2. Nothing was written. Connect radio %1, or read this radio to fill the form with its own values.</source>
        <translation>表单中的数值属于历史记录中的电台 %1，但连接的电台是 %2。未写入任何内容。请连接电台 %1，或读取此电台，用它自己的数值填写表单。</translation>
    </message>
    <message>
        <source>one without a serial number</source>
        <translation>无序列号的电台</translation>
    </message>
    <message>
        <source>The radio&apos;s current values could not be backed up in the history before writing. %1 Nothing was written: the radio was not changed.</source>
        <translation>写入前无法在历史记录中备份电台的当前数值。%1 未写入任何内容：电台未被更改。</translation>
    </message>
    <message>
        <source>Ended early by another press or by closing the window; no message was shown.</source>
        <translation>被再次按键或关闭窗口提前结束；未显示消息。</translation>
    </message>
</context>
<context>
    <name>kelvra::WindowHistory</name>
    <message>
        <source>%1 The history is kept on this computer only.</source>
        <translation>%1 历史记录仅保存在本计算机上。</translation>
    </message>
    <message>
        <source>The history of reads and writes cannot be kept. %1
Reads go on without it; a write is refused until the radio&apos;s values can be backed up first.</source>
        <translation>无法保存读写历史记录。%1
读取照常进行；在能够先备份电台的数值之前，写入将被拒绝。</translation>
    </message>
</context>
</TS>
