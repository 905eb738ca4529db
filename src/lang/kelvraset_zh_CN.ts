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
        <source>Cannot write the trace file %1: %2</source>
        <translation>无法写入跟踪文件 %1：%2</translation>
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
        <source>COM%1: access to %2 is denied. Its permissions %3 (owner %4, group %5) let only the administrator use it. Ask the administrator for a udev rule that gives the device to the group dialout, as the README&apos;s section &quot;Serial ports on Linux&quot; shows.</source>
        <translation>COM%1：无权访问 %2。其权限 %3（所有者 %4，组 %5）只允许管理员使用。请管理员按 README 中“Serial ports on Linux”一节添加 udev 规则，把该设备交给 dialout 组。</translation>
    </message>
</context>
<context>
    <name>kelvra::PortList</name>
    <message>
        <source>S/N %1</source>
        <translation>序列号 %1</translation>
    </message>
</context>
</TS>
