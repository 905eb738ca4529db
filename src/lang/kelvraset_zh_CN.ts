<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>Cli</name>
    <message>
        <source>The radio is a %1, which does not offer band code %2 (%3).</source>
        <translation>电台是 %1，该机型没有频段代码 %2（%3）。</translation>
    </message>
    <message>
        <source>The history holds no entries yet (%1).
</source>
        <translation>历史记录中还没有任何条目（%1）。
</translation>
    </message>
    <message>
        <source>The history holds no entry for a serial number containing %1.
</source>
        <translation>历史记录中没有序列号包含 %1 的条目。
</translation>
    </message>
    <message>
        <source>Warning: the history could not record this operation: %1
</source>
        <translation>警告：历史记录无法记录此次操作：%1
</translation>
    </message>
    <message>
        <source>Show this help and the exit codes.</source>
        <translation>显示本帮助和退出代码。</translation>
    </message>
    <message>
        <source>The radio&apos;s port: COM&lt;n&gt; as the window lists it (aliases included) or a device path.</source>
        <translation>电台所在端口：窗口中列出的 COM&lt;n&gt;（包括别名）或设备路径。</translation>
    </message>
    <message>
        <source>Print one JSON object per operation instead of lines for people.</source>
        <translation>每个操作输出一个 JSON 对象，而不是供人阅读的文字。</translation>
    </message>
    <message>
        <source>See: KelvraSet %1 --help</source>
        <translation>参见：KelvraSet %1 --help</translation>
    </message>
    <message>
        <source>Unknown argument: %1</source>
        <translation>未知参数：%1</translation>
    </message>
    <message>
        <source>--port is missing: name the port (COM9) or the device (/dev/ttyUSB0) the radio is on.</source>
        <translation>缺少 --port：请指定电台所在的端口（COM9）或设备（/dev/ttyUSB0）。</translation>
    </message>
    <message>
        <source>Usage: KelvraSet %1</source>
        <translation>用法：KelvraSet %1</translation>
    </message>
    <message>
        <source>--port takes a port name such as COM9 or a device path such as /dev/ttyUSB0, not &quot;%1&quot;.</source>
        <translation>--port 需要端口名（如 COM9）或设备路径（如 /dev/ttyUSB0），而不是“%1”。</translation>
    </message>
    <message>
        <source>Cannot reach %1 through a temporary folder: %2</source>
        <translation>无法通过临时文件夹访问 %1：%2</translation>
    </message>
    <message>
        <source>Band code to write (0-19); without it the radio keeps its band.</source>
        <translation>要写入的频段代码（0-19）；不指定则电台保留原频段。</translation>
    </message>
    <message>
        <source>The band-setting switch (Freq. Set): on or off.</source>
        <translation>频段设置开关（频段设置）：on 或 off。</translation>
    </message>
    <message>
        <source>Programming password, at most 4 bytes.</source>
        <translation>编程密码，最多 4 个字节。</translation>
    </message>
    <message>
        <source>Dealer code, at most 16 bytes (a Chinese character takes two).</source>
        <translation>经销商代码，最多 16 个字节（一个汉字占两个）。</translation>
    </message>
    <message>
        <source>Sell date, as the stock date.</source>
        <translation>销售时间，格式同入库时间。</translation>
    </message>
    <message>
        <source>Seller, at most 16 bytes (a Chinese character takes two).</source>
        <translation>经手人，最多 16 个字节（一个汉字占两个）。</translation>
    </message>
    <message>
        <source>CODE</source>
        <translation>代码</translation>
    </message>
    <message>
        <source>TEXT</source>
        <translation>文本</translation>
    </message>
    <message>
        <source>DATE</source>
        <translation>日期</translation>
    </message>
    <message>
        <source>Refuse a radio of another model: KR350UV, KR350SU or KR350SV.</source>
        <translation>拒绝其他机型的电台：KR350UV、KR350SU 或 KR350SV。</translation>
    </message>
    <message>
        <source>MODEL</source>
        <translation>机型</translation>
    </message>
    <message>
        <source>Interrupted: the write blocks have gone out, so the write is let finish (a moment); press Ctrl+C again to abandon it half-written.
</source>
        <translation>已中断：写入块已经发出，因此让写入完成（片刻即可）；再按一次 Ctrl+C 将放弃写入，电台会只写入一部分。
</translation>
    </message>
    <message>
        <source>Reads the radio&apos;s information block and prints its fields.</source>
        <translation>读取电台的信息块并输出各字段。</translation>
    </message>
    <message>
        <source>Reads the radio, changes only the fields named, writes it, and reads it back to verify every byte written. A field not named keeps the radio&apos;s value. A text that holds a control character is refused (exit code 2).</source>
        <translation>读取电台，只修改指定的字段，写入电台，再回读以校验写入的每个字节。未指定的字段保留电台中的值。含控制字符的文本会被拒绝（退出代码 2）。</translation>
    </message>
    <message>
        <source>Nothing to write: name at least one field (see --help).</source>
        <translation>没有要写入的内容：请至少指定一个字段（见 --help）。</translation>
    </message>
    <message>
        <source>--model takes %1, not &quot;%2&quot;.</source>
        <translation>--model 可取 %1，而不是“%2”。</translation>
    </message>
    <message>
        <source>The %1 does not offer band code %2.</source>
        <translation>%1 没有频段代码 %2。</translation>
    </message>
    <message>
        <source>%1 is not a field a write sends.</source>
        <translation>%1 不是写入时发送的字段。</translation>
    </message>
    <message>
        <source>%1 takes a band code from 0 to 19, not &quot;%2&quot;.</source>
        <translation>%1 需要 0 到 19 的频段代码，而不是“%2”。</translation>
    </message>
    <message>
        <source>%1 takes on or off, not &quot;%2&quot;.</source>
        <translation>%1 需要 on 或 off，而不是“%2”。</translation>
    </message>
    <message>
        <source>%1 holds a control character, which the radio&apos;s one-line field cannot show.</source>
        <translation>%1 含有控制字符，电台的单行字段无法显示。</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; holds characters that the radio&apos;s character set (GBK) cannot hold.</source>
        <translation>%1：“%2”含有电台字符集（GBK）无法表示的字符。</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; takes %3 bytes in the radio, and the field holds %4 (a Chinese character takes two). Nothing was cut; shorten it.</source>
        <translation>%1：“%2”在电台中占 %3 个字节，而该字段只能容纳 %4 个（一个汉字占两个）。没有截断任何内容；请缩短它。</translation>
    </message>
    <message>
        <source>The history %1 cannot be read: %2
</source>
        <translation>无法读取历史记录 %1：%2
</translation>
    </message>
    <message>
        <source>Lists the history of reads and writes, newest first.</source>
        <translation>列出读写历史记录，最新的在前。</translation>
    </message>
    <message>
        <source>At most N entries (default 50; not for --csv).</source>
        <translation>最多 N 条记录（默认 50；不用于 --csv）。</translation>
    </message>
    <message>
        <source>
The file: history.sqlite beside the program for a portable copy, else in ~/.local/share/KelvraSet; it is only read. Exit code 1: the file could not be read, or it was damaged and has been set aside.
</source>
        <translation>
文件：便携副本为程序旁边的 history.sqlite，否则在 ~/.local/share/KelvraSet 中；只读取该文件。退出代码 1：无法读取该文件，或该文件已损坏并已另存。
</translation>
    </message>
    <message>
        <source>--json and --csv exclude each other.</source>
        <translation>--json 和 --csv 不能同时使用。</translation>
    </message>
    <message>
        <source>--limit is not for --csv, which lists every entry.</source>
        <translation>--limit 不能与 --csv 同用，--csv 会列出所有记录。</translation>
    </message>
    <message>
        <source>--limit takes a number of entries from 1.</source>
        <translation>--limit 需要不小于 1 的记录数。</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>端口</translation>
    </message>
    <message>
        <source>on</source>
        <translation>开</translation>
    </message>
    <message>
        <source>off</source>
        <translation>关</translation>
    </message>
    <message>
        <source>Changed</source>
        <translation>已修改</translation>
    </message>
    <message>
        <source>nothing</source>
        <translation>无</translation>
    </message>
    <message>
        <source>Interrupted: the read was ended, the port closed; the radio was not changed.</source>
        <translation>已中断：读取已结束，端口已关闭；电台未被改动。</translation>
    </message>
    <message>
        <source>Interrupted before any block was written: the radio was not changed.</source>
        <translation>在写入任何块之前已中断：电台未被改动。</translation>
    </message>
    <message>
        <source>Interrupted while writing: the write was let finish, and the radio holds what was written, verified.</source>
        <translation>写入时中断：已让写入完成，电台中是所写入的内容，并已校验。</translation>
    </message>
    <message>
        <source>Interrupted while writing: the radio may be half-written; the detail above says what it took.</source>
        <translation>写入时中断：电台可能只写入了一部分；上面的详细信息说明电台收下了什么。</translation>
    </message>
    <message>
        <source>Waiting for a radio on %1 (Ctrl+C ends).
</source>
        <translation>正在等待 %1 上的电台（Ctrl+C 结束）。
</translation>
    </message>
    <message>
        <source>%1  %2  %3 s  (passed %4, failed %5)</source>
        <translation>%1  %2  %3 秒  （通过 %4，失败 %5）</translation>
    </message>
    <message>
        <source>(no serial number)</source>
        <translation>（无序列号）</translation>
    </message>
    <message>
        <source>passed</source>
        <translation>通过</translation>
    </message>
    <message>
        <source>FAILED: %1</source>
        <translation>失败：%1</translation>
    </message>
    <message>
        <source>The job file (JSON), see below.</source>
        <translation>任务文件（JSON），见下文。</translation>
    </message>
    <message>
        <source>Start as soon as a radio answers instead of on Enter; a radio whose serial number was just done is not done again until it has been off the cable.</source>
        <translation>电台一应答就开始，而不是等待 Enter；刚写完的序列号在电台离开数据线之前不会再写一次。</translation>
    </message>
    <message>
        <source>--job is missing: name the job file.</source>
        <translation>缺少 --job：请指定任务文件。</translation>
    </message>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation>无法读取 %1：%2</translation>
    </message>
    <message>
        <source>%1 names no field to write.</source>
        <translation>%1 没有指定要写入的字段。</translation>
    </message>
    <message>
        <source>%1 line %2</source>
        <translation>%1 第 %2 行</translation>
    </message>
    <message>
        <source>%1: serial number %2 is listed twice.</source>
        <translation>%1：序列号 %2 出现了两次。</translation>
    </message>
    <message>
        <source>%1: the %2 does not offer band code %3.</source>
        <translation>%1：%2 没有频段代码 %3。</translation>
    </message>
    <message>
        <source>Serial number %1 is not in %2; the radio was not written.</source>
        <translation>序列号 %1 不在 %2 中；该电台未被写入。</translation>
    </message>
    <message>
        <source>identification</source>
        <translation>识别</translation>
    </message>
    <message>
        <source>read block %1 of %2</source>
        <translation>读取第 %1 块，共 %2 块</translation>
    </message>
    <message>
        <source>write block %1 of %2</source>
        <translation>写入第 %1 块，共 %2 块</translation>
    </message>
    <message>
        <source>read back block %1 of %2</source>
        <translation>回读第 %1 块，共 %2 块</translation>
    </message>
    <message>
        <source> (sent again, %1)</source>
        <translation>（重发，第 %1 次）</translation>
    </message>
    <message>
        <source>Exit codes:
  0    complete (for a write: written and verified)
  1    history: the history file cannot be read, is another program&apos;s database, or was
       found damaged and set aside; with --pdf, also when it holds no complete write of
       that radio
  2    usage: an unknown command or option, an option given twice, a missing port, a text
       longer than its field in GBK bytes, a text that GBK cannot hold or that holds a
       control character, a bad date or band code, a job or units file that does not check
       out, a --serial for history --pdf that several radios&apos; numbers hold; nothing was sent
  3    the port could not be opened (the reason on standard error); for history --workshop
       and --deliver: the workshop server cannot be reached
  4    the radio did not answer or answered wrongly, or another radio was connected between
       the read and the write; the radio was not changed
  5    the radio is another model than --model names, or its model does not offer --band
  6    the backup could not be stored, so nothing was written
  7    written, but the read-back differs from what was written
  8    the write failed after write blocks went out: the radio may be half-written
       (the detail names what it took)
  9    the output could not be written (a full disk, a closed pipe), or a station&apos;s run
       report lacks radios; standard error says so, and the history tells what became of
       the radio (a failure&apos;s own code wins over 9)
  130  interrupted by Ctrl+C (SIGINT), 143 by SIGTERM, 129 by SIGHUP, 131 by SIGQUIT: the
       operation ended cleanly (a write whose blocks had gone out was let finish) and the
       port is closed
</source>
        <translation>退出代码：
  0    完成（写入时：已写入并已校验）
  1    history：无法读取历史记录文件，它是其他程序的数据库，或发现已损坏并已移到一旁；
       用 --pdf 时，历史记录中没有该电台的完整写入也是如此
  2    用法错误：未知命令或选项、选项给出了两次、缺少端口、文本超过字段的 GBK 字节数、
       GBK 无法表示或含控制字符的文本、日期或频段代码错误、任务文件或单台文件检查未通过、
       history --pdf 的 --serial 同时属于多台电台的序列号；未发送任何内容
  3    无法打开端口（原因见标准错误输出）；history --workshop 和 --deliver：
       无法连接车间服务器
  4    电台没有应答或应答错误，或在读取与写入之间换接了另一台电台；
       电台未被改动
  5    电台机型与 --model 指定的不同，或该机型没有 --band 指定的频段
  6    无法保存备份，因此未写入任何内容
  7    已写入，但回读内容与写入内容不同
  8    写入块发出后写入失败：电台可能只写入了一部分
       （详细信息说明电台收下了什么）
  9    无法写出输出（磁盘已满、管道已关闭），或工位的运行报告缺少电台；标准错误输出会说明，
       电台的结果见历史记录（操作本身失败时以其退出代码为准）
  130  被 Ctrl+C（SIGINT）中断，143 为 SIGTERM，129 为 SIGHUP，131 为 SIGQUIT：
       操作已正常结束（写入块已发出的写入会让其完成），端口已关闭
</translation>
    </message>
    <message>
        <source>--%1 is given more than once; give each option once.</source>
        <translation>--%1 给出了不止一次；每个选项只能给出一次。</translation>
    </message>
    <message>
        <source>History entry %1 tells what became of the radio.</source>
        <translation>电台的结果见历史记录条目 %1。</translation>
    </message>
    <message>
        <source>unknown command &apos;%1&apos;; the commands are read, write, history and station; see KelvraSet --help</source>
        <translation>未知命令“%1”；命令有 read、write、history 和 station；见 KelvraSet --help</translation>
    </message>
    <message>
        <source>%1 takes today, a date written exactly as %2 or %3, or an empty text; &quot;%4&quot; is no date.</source>
        <translation>%1 需要 today、严格写成 %2 或 %3 形式的日期，或空文本；“%4”不是日期。</translation>
    </message>
    <message>
        <source>%1 is no regular file; name the file itself.</source>
        <translation>%1 不是普通文件；请指定文件本身。</translation>
    </message>
    <message>
        <source>%1 does not exist.</source>
        <translation>%1 不存在。</translation>
    </message>
    <message>
        <source>%1 is larger than %2 MB, which no job or units file is.</source>
        <translation>%1 大于 %2 MB，任务文件或单台文件不会这么大。</translation>
    </message>
    <message>
        <source>Station on %1, job %2: writes %3 to %4.</source>
        <translation>工位端口 %1，任务 %2：将 %3 写入%4。</translation>
    </message>
    <message>
        <source>no field of its own</source>
        <translation>（任务本身没有字段）</translation>
    </message>
    <message>
        <source>radios of any model</source>
        <translation>任意机型的电台</translation>
    </message>
    <message>
        <source>%1 radios</source>
        <translation>%1 电台</translation>
    </message>
    <message>
        <source>%1 lists %2 radios; no other is written.</source>
        <translation>%1 列出了 %2 台电台；其他电台不会被写入。</translation>
    </message>
    <message>
        <source>%1 lists %2 radios, each with its %3; no other is written.</source>
        <translation>%1 列出了 %2 台电台，每台有各自的 %3；其他电台不会被写入。</translation>
    </message>
    <message>
        <source>interrupted</source>
        <translation>已中断</translation>
    </message>
    <message>
        <source>%1  %2  %3 s  attempt %4  (passed %5, failed %6)</source>
        <translation>%1  %2  %3 秒  第 %4 次  （通过 %5，失败 %6）</translation>
    </message>
    <message>
        <source>The station goes on, and the history records every radio.</source>
        <translation>工位继续运行，历史记录会记下每台电台。</translation>
    </message>
    <message>
        <source>%1: freqSet takes true or false, not %2.</source>
        <translation>%1：freqSet 需要 true 或 false，而不是 %2。</translation>
    </message>
    <message>
        <source>%1: bandCode takes a whole number from 0 to 19, not %2.</source>
        <translation>%1：bandCode 需要 0 到 19 的整数，而不是 %2。</translation>
    </message>
    <message>
        <source>%1: %2 takes a text in quotes, not %3.</source>
        <translation>%1：%2 需要带引号的文本，而不是 %3。</translation>
    </message>
    <message>
        <source>%1 line %2: no JSON: %3</source>
        <translation>%1 第 %2 行：不是 JSON：%3</translation>
    </message>
    <message>
        <source>%1 holds no JSON object ({...}).</source>
        <translation>%1 中没有 JSON 对象（{...}）。</translation>
    </message>
    <message>
        <source>%1: %2 is named twice (first on line %3).</source>
        <translation>%1：%2 出现了两次（第一次在第 %3 行）。</translation>
    </message>
    <message>
        <source>%1: model takes %2, not %3.</source>
        <translation>%1：model 可取 %2，而不是 %3。</translation>
    </message>
    <message>
        <source>%1: unitsFile takes the name of a CSV file in quotes, not %2.</source>
        <translation>%1：unitsFile 需要带引号的 CSV 文件名，而不是 %2。</translation>
    </message>
    <message>
        <source>%1 line 1: the first line names the columns, serialNumber first.</source>
        <translation>%1 第 1 行：第一行是列名，serialNumber 在最前。</translation>
    </message>
    <message>
        <source>%1 line 1: the column %2 is named twice.</source>
        <translation>%1 第 1 行：列 %2 出现了两次。</translation>
    </message>
    <message>
        <source>%1 line 1: unknown column &quot;%2&quot;; the columns are serialNumber and any of %3.</source>
        <translation>%1 第 1 行：未知的列“%2”；可用的列为 serialNumber 以及 %3 中的任意列。</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; is no serial number, which is 16 letters or digits such as 2026120500000042. A spreadsheet may have shown it as a number such as 2.02612E+15: keep that column as text.</source>
        <translation>%1：“%2”不是序列号；序列号是 16 位字母或数字，例如 2026120500000042。电子表格可能把它显示成了 2.02612E+15 这样的数字：请把该列设为文本。</translation>
    </message>
    <message>
        <source>%1: %2 cells, but the first line names %3 columns.</source>
        <translation>%1：有 %2 个单元格，但第一行只列出了 %3 列。</translation>
    </message>
    <message>
        <source>The radio has no serial number, and the station writes only radios it can tell apart; it was not written.</source>
        <translation>电台没有序列号，而工位只写入能够区分的电台；该电台未被写入。</translation>
    </message>
    <message>
        <source>The output could not be written: %1.</source>
        <translation>无法写出输出：%1。</translation>
    </message>
    <message>
        <source>Only radios whose serial number contains S (with --workshop: ends with S, the whole number or its last digits).</source>
        <translation>只列出序列号包含 S 的电台（与 --workshop 同用时：序列号以 S 结尾，即完整序列号或其末几位）。</translation>
    </message>
    <message>
        <source>Every bench&apos;s entries from the workshop server that historyUrl names, with this bench&apos;s entries not yet delivered; exit code 3 when the server cannot be reached.</source>
        <translation>列出 historyUrl 所指车间服务器上所有工位的记录，连同本工位尚未送达的记录；服务器无法连接时退出码为 3。</translation>
    </message>
    <message>
        <source>Send every entry queued for the workshop server and exit: 0 when none is left, 3 when the server cannot be reached.</source>
        <translation>把所有排队等待车间服务器的记录送出后退出：全部送达时为 0，服务器无法连接时为 3。</translation>
    </message>
    <message>
        <source>--deliver takes no other option.</source>
        <translation>--deliver 不接受其他选项。</translation>
    </message>
    <message>
        <source>No workshop server is named: set historyUrl in section [history] of %1.
</source>
        <translation>未指定车间服务器：请在 %1 的 [history] 节中设置 historyUrl。
</translation>
    </message>
    <message>
        <source>The workshop&apos;s history cannot be listed.</source>
        <translation>无法列出车间的历史记录。</translation>
    </message>
    <message>
        <source>The workshop&apos;s history holds no entries yet (%1).
</source>
        <translation>车间的历史记录中还没有记录（%1）。
</translation>
    </message>
    <message>
        <source>The workshop&apos;s history holds no entry for a serial number ending in %1.
</source>
        <translation>车间的历史记录中没有序列号以 %1 结尾的记录。
</translation>
    </message>
    <message numerus="yes">
        <source>%n entry(s) of this bench have not reached the workshop server %1 yet (the oldest since %2) and are listed from this bench&apos;s history; KelvraSet history --deliver sends them.
</source>
        <translation>
            <numerusform>本工位有 %n 条记录尚未送到车间服务器 %1（最早的自 %2 起），已从本工位的历史中列出；KelvraSet history --deliver 可将其送出。
</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Interrupted: %n entry(s) were delivered; the others stay queued.
</source>
        <translation>
            <numerusform>已中断：已送出 %n 条记录，其余仍在排队。
</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n entry(s) delivered; every entry of this bench is on the workshop server %1.
</source>
        <translation>
            <numerusform>已送出 %n 条记录；本工位的全部记录都已在车间服务器 %1 上。
</numerusform>
        </translation>
    </message>
    <message>
        <source>Warning: %1 The entry is kept on this computer only.
</source>
        <translation>警告：%1 该记录只保存在本机。
</translation>
    </message>
    <message>
        <source>no answer within 2 s</source>
        <translation>2 秒内没有应答</translation>
    </message>
    <message>
        <source>The entry %1 stays queued for the workshop server %2 (%3); it follows with the next delivery, or with KelvraSet history --deliver.
</source>
        <translation>记录 %1 仍在排队等待车间服务器 %2（%3）；它将随下一次送出，或用 KelvraSet history --deliver 送出。
</translation>
    </message>
    <message>
        <source>One JSON object per entry, with the names read --json uses.</source>
        <translation>每条记录输出一个 JSON 对象，名称与 read --json 相同。</translation>
    </message>
    <message>
        <source>Every entry as CSV for programs: a header row of the same names.</source>
        <translation>以供程序读取的 CSV 输出每条记录：表头行使用相同的名称。</translation>
    </message>
    <message>
        <source>Programming passwords in clear in --json, --csv and --pdf (**** without it).</source>
        <translation>在 --json、--csv 和 --pdf 中显示编程密码明文（不加此选项时显示为 ****）。</translation>
    </message>
    <message>
        <source>The record of the newest complete write of the radio --serial names, as a PDF file to hand over with it: model, serial number, band, Freq. Set, dealer fields, when and at which bench it was written.</source>
        <translation>把 --serial 所指电台最近一次成功写入的记录保存为 PDF 文件，随电台交付：机型、序列号、频段、频段设置、经销商信息，以及写入的时间和工位。</translation>
    </message>
    <message>
        <source>--pdf takes only --serial and --show-passwords.</source>
        <translation>--pdf 只能与 --serial 和 --show-passwords 同用。</translation>
    </message>
    <message>
        <source>--pdf needs --serial: the radio whose record it is.</source>
        <translation>--pdf 需要 --serial：指定记录所属的电台。</translation>
    </message>
    <message>
        <source>The history holds no complete write of a radio whose serial number contains %1.
</source>
        <translation>历史记录中没有序列号包含 %1 的电台的成功写入。
</translation>
    </message>
    <message numerus="yes">
        <source>%1 is part of the serial numbers of %n radio(s): %2. Give the whole number.
</source>
        <translation>
            <numerusform>%1 是 %n 台电台序列号的一部分：%2。请给出完整的序列号。
</numerusform>
        </translation>
    </message>
    <message>
        <source>Cannot write %1: %2
</source>
        <translation>无法写入 %1：%2
</translation>
    </message>
    <message>
        <source>Stock date: today, exactly YYYY-MM-DD, or exactly the host&apos;s short date (%1); written as the host&apos;s short date, unless [radio] dateFormat in mysetup.ini names a format (yyyy-MM-dd).</source>
        <translation>入库时间：today、严格的 YYYY-MM-DD，或严格的本机短日期格式（%1）；以本机短日期格式写入，除非 mysetup.ini 的 [radio] dateFormat 指定了格式（yyyy-MM-dd）。</translation>
    </message>
    <message>
        <source>Stock date: today, exactly YYYY-MM-DD, or exactly as %1 writes it (%2); written so whatever the locale, as [radio] dateFormat in mysetup.ini says.</source>
        <translation>入库时间：today、严格的 YYYY-MM-DD，或严格按 %1 写出的形式（%2）；按 mysetup.ini 的 [radio] dateFormat 写入，与区域设置无关。</translation>
    </message>
    <message>
        <source>%1 ([radio] dateFormat): %2</source>
        <translation>%1（[radio] dateFormat）：%2</translation>
    </message>
    <message>
        <source>Dates are written as the host&apos;s short date (today %1).</source>
        <translation>日期以本机短日期格式写入（今天为 %1）。</translation>
    </message>
    <message>
        <source>Dates are written as %1 (today %2).</source>
        <translation>日期以 %1 格式写入（今天为 %2）。</translation>
    </message>
    <message>
        <source>An empty line starts a radio on every port; a line naming a port (%1) starts one on that port alone.</source>
        <translation>空行在每个端口上开始一台电台；写有端口名（%1）的一行只在该端口上开始一台。</translation>
    </message>
    <message>
        <source>radios %1, passed %2, failed %3 (attempts %4).</source>
        <translation>电台 %1 台，通过 %2 台，失败 %3 台（共尝试 %4 次）。</translation>
    </message>
    <message>
        <source>Connect the next radio to %1 and press Enter (Ctrl+C ends).
</source>
        <translation>把下一台电台连接到 %1 并按 Enter（Ctrl+C 结束）。
</translation>
    </message>
    <message>
        <source>Trying again until it opens (Ctrl+C ends).</source>
        <translation>将一直重试，直到能够打开（Ctrl+C 结束）。</translation>
    </message>
    <message>
        <source>Interrupted: the station ends after this radio; interrupt again to abandon the radio.</source>
        <translation>已中断：工位将在这台电台完成后结束；再次中断将放弃这台电台。</translation>
    </message>
    <message>
        <source>Interrupted: the write blocks have gone out, so this radio&apos;s write is let finish; press Ctrl+C again to abandon it half-written.</source>
        <translation>已中断：写入块已经发出，因此让这台电台的写入完成；再按一次 Ctrl+C 将放弃写入，电台会只写入一部分。</translation>
    </message>
    <message>
        <source>No port %1 in this station: an empty line starts a radio on every port, a port&apos;s name on that port alone.
</source>
        <translation>本工位没有端口 %1：空行在每个端口上开始一台电台，端口名只在该端口上开始一台。
</translation>
    </message>
    <message>
        <source>Station ended: %1
</source>
        <translation>工位结束：%1
</translation>
    </message>
    <message>
        <source>Programs radios with the fields of a job file, one after another on each port and on every port named at the same time: reads each, checks its model, writes, verifies, and prints one line per radio, naming its port, with a running count. Every run writes a report, station-&lt;UTC time&gt;.csv, beside the job file.</source>
        <translation>按任务文件中的字段为电台写频：每个端口上逐台进行，所有指定的端口同时进行；读取每台电台，检查机型，写入，校验，每台输出一行（注明端口）并累计计数。每次运行都在任务文件旁边写一份报告 station-&lt;UTC 时间&gt;.csv。</translation>
    </message>
    <message>
        <source>
The job file names the fields for every radio, by the names of the JSON output:
  {&quot;model&quot;: &quot;KR350UV&quot;, &quot;dealerCode&quot;: &quot;D-0042&quot;, &quot;stockDate&quot;: &quot;today&quot;,
   &quot;seller&quot;: &quot;Line 3&quot;, &quot;bandCode&quot;: 0, &quot;freqSet&quot;: false, &quot;unitsFile&quot;: &quot;units.csv&quot;,
   &quot;dateFormat&quot;: &quot;yyyy-MM-dd&quot;}
Texts and dates are JSON strings, bandCode a whole number, freqSet true or false; any
other key, or a key named twice, is refused. unitsFile (optional, beside the job file)
lists values for single radios, keyed by their 16-character serial number; a radio it
does not list is not written:
  serialNumber,seller,sellDate
  2026120500000042,Wang Fang,2026-12-24
Dates take today, exactly YYYY-MM-DD, or exactly the form they are written in.
dateFormat (optional; Qt&apos;s date format: yyyy year, MM month, dd day, MMM month name
in English) writes every date in that form whatever the locale; without it, dates
follow [radio] dateFormat in mysetup.ini, else the host&apos;s short date format (today
%1 here). A format that is no date, or that some date would make longer than the
radio&apos;s 16 bytes, is refused.
Several --port: every port at the same time, each on its own; a radio whose serial
number another port is programming at that moment is refused. Without --auto each
line of input is one radio: an empty line (Enter) on every port, a line naming a
port (COM9) on that port alone. Ctrl+C, SIGTERM or SIGHUP end the station at once
while it waits, after the radios under way otherwise (again: abandon them, as for
write); so does the end of input without --auto. It ends with a summary that counts
radios by serial number, in all and per port, and the report&apos;s path. Exit code: 130,
143 or 129 for the signal; else 0 when every radio passed, or the code of the last
radio that failed; 9 in place of 0 when the report could not be written.
</source>
        <translation>
任务文件用 JSON 输出中的名称指定每台电台的字段：
  {&quot;model&quot;: &quot;KR350UV&quot;, &quot;dealerCode&quot;: &quot;D-0042&quot;, &quot;stockDate&quot;: &quot;today&quot;,
   &quot;seller&quot;: &quot;Line 3&quot;, &quot;bandCode&quot;: 0, &quot;freqSet&quot;: false, &quot;unitsFile&quot;: &quot;units.csv&quot;,
   &quot;dateFormat&quot;: &quot;yyyy-MM-dd&quot;}
文本和日期是 JSON 字符串，bandCode 是整数，freqSet 是 true 或 false；其他键、
或出现两次的键都会被拒绝。unitsFile（可选，位于任务文件旁边）按 16 位序列号
列出单台电台的值；未列出的电台不会被写入：
  serialNumber,seller,sellDate
  2026120500000042,Wang Fang,2026-12-24
日期可取 today、严格的 YYYY-MM-DD，或严格按写入形式书写的日期。
dateFormat（可选；Qt 的日期格式：yyyy 年，MM 月，dd 日，MMM 英文月份名）
使所有日期都以该形式写入，与区域设置无关；不指定时，日期按 mysetup.ini 的
[radio] dateFormat，否则按本机短日期格式（这里今天为 %1）。不是日期的格式，
或某个日期会超出电台 16 个字节的格式，都会被拒绝。
多个 --port：所有端口同时进行，各自独立；另一个端口此刻正在写频的序列号的
电台会被拒绝。不带 --auto 时每行输入就是一台电台：空行（Enter）在每个端口上，
写有端口名（COM9）的一行只在该端口上。Ctrl+C、SIGTERM 或 SIGHUP 在等待时
立即结束工位，否则在进行中的电台完成后结束（再次中断：像 write 一样放弃它们）；
不带 --auto 时输入结束也会结束工位。结束时输出按序列号统计电台的汇总（总计
和每个端口）以及报告的路径。退出代码：信号对应 130、143 或 129；否则所有
电台都通过时为 0，或为最后一台失败电台的代码；无法写出报告时以 9 代替 0。
</translation>
    </message>
    <message>
        <source>%1 ([radio] dateFormat)</source>
        <translation>%1（[radio] dateFormat）</translation>
    </message>
    <message>
        <source>Interrupted.</source>
        <translation>已中断。</translation>
    </message>
    <message>
        <source>%1 could not be written: %2.</source>
        <translation>无法写入 %1：%2。</translation>
    </message>
    <message>
        <source>%1 already holds a report of every name for this second.</source>
        <translation>%1 中这一秒的所有报告文件名都已被占用。</translation>
    </message>
    <message>
        <source>%1: dateFormat takes a date format in quotes such as &quot;yyyy-MM-dd&quot;, not %2.</source>
        <translation>%1：dateFormat 需要带引号的日期格式（如 &quot;yyyy-MM-dd&quot;），而不是 %2。</translation>
    </message>
    <message>
        <source>%1: unknown key &quot;%2&quot;; a job takes model, unitsFile, dateFormat, %3.</source>
        <translation>%1：未知的键“%2”；任务可用的键有 model、unitsFile、dateFormat、%3。</translation>
    </message>
    <message>
        <source>%1 is named twice; name each port once.</source>
        <translation>%1 指定了两次；每个端口只能指定一次。</translation>
    </message>
    <message>
        <source>%1 and %2 are the same device, %3; name each port once.</source>
        <translation>%1 和 %2 是同一个设备 %3；每个端口只能指定一次。</translation>
    </message>
    <message>
        <source>Warning: %1 Each radio&apos;s write will be refused until the history can take its backup.</source>
        <translation>警告：%1 在历史记录能够保存备份之前，每台电台的写入都将被拒绝。</translation>
    </message>
    <message>
        <source>Warning: %1 The history is kept on this computer only.</source>
        <translation>警告：%1 历史记录仅保存在本计算机上。</translation>
    </message>
    <message>
        <source>Warning: %1 The station goes on without a run report; the history records every radio.</source>
        <translation>警告：%1 工位在没有运行报告的情况下继续运行；历史记录会记下每台电台。</translation>
    </message>
    <message>
        <source>Warning: %1 The station goes on, and the history records every radio.</source>
        <translation>警告：%1 工位继续运行，历史记录会记下每台电台。</translation>
    </message>
    <message>
        <source>%1 is programming a radio with serial number %2 at this moment; this one was not written, so that no radio is written from two ports at once.</source>
        <translation>%1 此刻正在为序列号为 %2 的电台写频；这台电台未被写入，以免同一台电台同时从两个端口写入。</translation>
    </message>
    <message>
        <source>The date format is empty.</source>
        <translation>日期格式为空。</translation>
    </message>
    <message>
        <source>The date format %1 writes %2 as &quot;%3&quot;, which the radio&apos;s date fields (%4 bytes) cannot hold.</source>
        <translation>日期格式 %1 把 %2 写成“%3”，电台的日期字段（%4 个字节）放不下。</translation>
    </message>
    <message>
        <source>%1 is no date format: it writes %2 as &quot;%3&quot;, which does not read back as that date. Name the day, the month and the year, for example yyyy-MM-dd.</source>
        <translation>%1 不是日期格式：它把 %2 写成“%3”，无法读回为该日期。请写出日、月和年，例如 yyyy-MM-dd。</translation>
    </message>
    <message>
        <source>No run report: %1</source>
        <translation>没有运行报告：%1</translation>
    </message>
    <message>
        <source>Run report, without the latest radios: %1 (%2)</source>
        <translation>运行报告（缺少最近的电台）：%1（%2）</translation>
    </message>
    <message>
        <source>Run report: %1</source>
        <translation>运行报告：%1</translation>
    </message>
    <message>
        <source>Delivery to the workshop server %1 fails: %2. Entries wait on this computer and follow once it works again.</source>
        <translation>向车间服务器 %1 送出记录失败：%2。记录暂存本机，恢复后补送。</translation>
    </message>
    <message>
        <source>Delivery to the workshop server %1 works again.</source>
        <translation>向车间服务器 %1 送出记录已恢复。</translation>
    </message>
    <message>
        <source>Commands (the window opens only without one; each has its own --help):
  read --port PORT [--json]             read the radio and print its fields
  write --port PORT [FIELDS] [--json]   change only the fields named, write, verify
  history [--serial S] [--limit N] [--json | --csv]
                                        the history of reads and writes
  history --workshop [--serial S] [--limit N] [--json | --csv]
                                        every bench&apos;s entries, from the workshop server
  history --deliver                     send the entries queued for the workshop server
  station --port PORT [--port PORT ...] --job FILE [--auto] [--json]
                                        program radios one after another, on
                                        several ports at once
  station --window [--job FILE] [--port PORT ...]
                                        the same in a window, a panel per port

</source>
        <translation>命令（不带命令时才打开窗口；每个命令都有自己的 --help）：
  read --port PORT [--json]             读取电台并输出各字段
  write --port PORT [FIELDS] [--json]   只修改指定字段，写入并校验
  history [--serial S] [--limit N] [--json | --csv]
                                        读写历史记录
  history --workshop [--serial S] [--limit N] [--json | --csv]
                                        车间服务器上所有工位的记录
  history --deliver                     把排队的记录送到车间服务器
  station --port PORT [--port PORT ...] --job FILE [--auto] [--json]
                                        逐台为电台写频，可同时使用
                                        多个端口
  station --window [--job FILE] [--port PORT ...]
                                        同上，在窗口中进行，每个端口一个面板

</translation>
    </message>
    <message>
        <source>Open the station window instead of running on the terminal: the job, Start and Stop, and a panel per port; it runs as --auto. There --job is optional (it asks for the job), and each --port is ticked in its list of ports.</source>
        <translation>打开生产工位窗口，而不在终端上运行：显示任务、开始和停止按钮，每个端口一个面板；按 --auto 方式运行。此时 --job 可以省略（窗口会询问任务文件），每个 --port 会在端口列表中勾选。</translation>
    </message>
    <message>
        <source>The record of the write of %1 to radio %2 is in %3, readable by you alone.
</source>
        <translation>%1 写入电台 %2 的记录已保存在 %3，仅您本人可读。
</translation>
    </message>
</context>
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
        <source>--trace needs a file name.</source>
        <translation>--trace 需要一个文件名。</translation>
    </message>
    <message>
        <source>The window needs a display, and none is set (DISPLAY and WAYLAND_DISPLAY are empty). Without one, use a command: read, write, history or station; see KelvraSet --help.</source>
        <translation>窗口需要显示器，但没有设置（DISPLAY 和 WAYLAND_DISPLAY 均为空）。没有显示器时请使用命令：read、write、history 或 station；见 KelvraSet --help。</translation>
    </message>
    <message>
        <source>The station window needs a display, and none is set (DISPLAY and WAYLAND_DISPLAY are empty). Without one, run the station on the terminal: KelvraSet station without --window.</source>
        <translation>生产工位窗口需要显示器，但没有设置（DISPLAY 和 WAYLAND_DISPLAY 均为空）。没有显示器时，请在终端上运行工位：KelvraSet station，不带 --window。</translation>
    </message>
    <message>
        <source>Print the options, the commands and the exit codes, and exit.</source>
        <translation>输出选项、命令和退出代码，然后退出。</translation>
    </message>
    <message>
        <source>The same as --help.</source>
        <translation>与 --help 相同。</translation>
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
        <source>The read-back of block %1 shows serial number %2, but the radio this write read before writing was %3: another radio is on the cable.</source>
        <translation>第 %1 块的回读显示序列号为 %2，但本次写入前读取的电台序列号为 %3：数据线上连接的是另一台电台。</translation>
    </message>
    <message>
        <source>The read-back of block %1 shows other values in bytes %2 to %3, which this write sends back as the radio held them: the radio changed them itself, or another radio is on the cable.</source>
        <translation>第 %1 块的回读在第 %2 至 %3 字节显示了不同的值，而本次写入是按电台原有内容写回这些字节的：电台自行改动了它们，或者数据线上连接的是另一台电台。</translation>
    </message>
    <message>
        <source>The block was not written again. Read the radio on the cable before writing to it.</source>
        <translation>该块未再次写入。请先读取数据线上的电台，再向其写入。</translation>
    </message>
    <message>
        <source>A write is under way; nothing has been written to the radio yet.</source>
        <translation>正在写入；尚未向电台写入任何内容。</translation>
    </message>
    <message>
        <source>A write is under way, and closing now ends it here. %1</source>
        <translation>正在写入，现在关闭将在此处中止写入。%1</translation>
    </message>
    <message>
        <source>Close anyway?</source>
        <translation>仍要关闭吗？</translation>
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
    <message>
        <source>Radio record %1</source>
        <translation>电台记录 %1</translation>
    </message>
    <message>
        <source>Printed %1 on %2</source>
        <translation>打印于 %1，主机 %2</translation>
    </message>
    <message>
        <source>Radio record</source>
        <translation>电台记录</translation>
    </message>
    <message>
        <source>This computer&apos;s local time (%1), with its offset from UTC</source>
        <translation>本机当地时间（%1），附与 UTC 的时差</translation>
    </message>
    <message>
        <source>Click to sort; in the list, the menu key sorts too</source>
        <translation>单击可排序；在列表中按菜单键也可排序</translation>
    </message>
</context>
<context>
    <name>HistoryDelivery</name>
    <message>
        <source>the history file cannot be read (%1)</source>
        <translation>无法读取历史文件（%1）</translation>
    </message>
    <message numerus="yes">
        <source>%n entry(s) of this bench wait for the workshop server %1 since %2: %3.</source>
        <translation>
            <numerusform>本工位有 %n 条记录自 %2 起等待送往车间服务器 %1：%3。</numerusform>
        </translation>
    </message>
    <message>
        <source>The workshop server %1 cannot be reached: %2.</source>
        <translation>无法连接车间服务器 %1：%2。</translation>
    </message>
    <message>
        <source>Every entry of this bench is on the workshop server %1.</source>
        <translation>本工位的全部记录都已在车间服务器 %1 上。</translation>
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
        <source>Form filled from entry %1, which this history does not hold.</source>
        <translation>表单的值取自记录 %1，本历史记录中没有该记录。</translation>
    </message>
    <message>
        <source>Form filled from the entry of %1 at %2, radio %3 (%4).</source>
        <translation>表单的值取自 %1 在 %2 的记录，电台 %3（%4）。</translation>
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
        <source>%1 bytes, entries still readable: %2</source>
        <translation>%1 字节，仍可读取的记录：%2 条</translation>
    </message>
    <message>
        <source>The history file was damaged. It was set aside as %1 (%2) and a new one was started.</source>
        <translation>历史记录文件已损坏，已另存为 %1（%2），并新建了一个文件。</translation>
    </message>
    <message>
        <source>The history file was damaged. It was set aside as %1 (%2); the next read or write starts a new one.</source>
        <translation>历史记录文件已损坏，已另存为 %1（%2）；下一次读取或写入时将新建一个文件。</translation>
    </message>
    <message>
        <source>The history file %1 cannot be written: its log and index %2 are read-only. Give them the owner and mode of the file.</source>
        <translation>无法写入历史记录文件 %1：其日志和索引文件 %2 为只读。请使它们与该文件的所有者和权限相同。</translation>
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
    <message>
        <source>The file %1 is another program&apos;s database, not a history of KelvraSet&apos;s. It is left as it is; move it away to keep the history there.</source>
        <translation>文件 %1 是其他程序的数据库，不是 KelvraSet 的历史记录。该文件保持原样；请将其移走，以便在此处保存历史记录。</translation>
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
    <name>PortChoices</name>
    <message>
        <source>S/N %1</source>
        <translation>序列号 %1</translation>
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
    <message>
        <source>it holds no text, and no copy of it could be kept: %1</source>
        <translation>它不是文本，且无法保留其副本：%1</translation>
    </message>
    <message>
        <source>%1 held no text. It was set aside as %2; a new one keeps the serial port.</source>
        <translation>%1 不是文本。已将其另存为 %2；新建的文件保存串口。</translation>
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
    <message>
        <source>The history server %1 cannot be read: a character in it is not allowed in an address, or a % is not followed by two hex digits.</source>
        <translation>无法解析历史服务器地址 %1：其中含有地址中不允许的字符，或 % 后面不是两位十六进制数字。</translation>
    </message>
    <message>
        <source>The history server&apos;s service %1 is listed in no pg_service.conf, or names no dbname.</source>
        <translation>历史服务器的服务 %1 未列在任何 pg_service.conf 中，或未指定 dbname。</translation>
    </message>
</context>
<context>
    <name>StatusLine</name>
    <message>
        <source>Entering programming mode...</source>
        <translation>正在进入编程模式……</translation>
    </message>
    <message>
        <source>Identifying the radio...</source>
        <translation>正在识别电台……</translation>
    </message>
    <message>
        <source>Reading block %1 of %2 before writing</source>
        <translation>写入前读取第&#xa0;%1&#xa0;块（共&#xa0;%2&#xa0;块）</translation>
    </message>
    <message>
        <source>Reading block %1 of %2</source>
        <translation>正在读取第&#xa0;%1&#xa0;块（共&#xa0;%2&#xa0;块）</translation>
    </message>
    <message>
        <source>Writing block %1 of %2</source>
        <translation>正在写入第&#xa0;%1&#xa0;块（共&#xa0;%2&#xa0;块）</translation>
    </message>
    <message>
        <source>Checking block %1 of %2</source>
        <translation>正在回读核对第&#xa0;%1&#xa0;块（共&#xa0;%2&#xa0;块）</translation>
    </message>
    <message>
        <source>Leaving programming mode...</source>
        <translation>正在退出编程模式……</translation>
    </message>
    <message>
        <source>%1 (sent again: %2)</source>
        <translation>%1（重发 %2 次）</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状态</translation>
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
    <name>WorkshopServer</name>
    <message>
        <source>the server has no table history_entry: an administrator runs %1 once, with psql, in the database %2</source>
        <translation>服务器上没有 history_entry 表：请管理员用 psql 在数据库 %2 中运行一次 %1</translation>
    </message>
    <message>
        <source>the server refuses this bench&apos;s role: an administrator grants it kelvraset_bench</source>
        <translation>服务器拒绝本工位的角色：请管理员授予其 kelvraset_bench</translation>
    </message>
    <message>
        <source>wrong password</source>
        <translation>密码错误</translation>
    </message>
    <message>
        <source>no password given (put it in ~/.pgpass)</source>
        <translation>未提供密码（请写入 ~/.pgpass）</translation>
    </message>
    <message>
        <source>the server does not let this bench in (pg_hba.conf)</source>
        <translation>服务器不允许本工位登录（pg_hba.conf）</translation>
    </message>
    <message>
        <source>the server has no such database</source>
        <translation>服务器上没有该数据库</translation>
    </message>
    <message>
        <source>the server knows no such user</source>
        <translation>服务器上没有该用户</translation>
    </message>
    <message>
        <source>the server did not answer in time</source>
        <translation>服务器未及时应答</translation>
    </message>
    <message>
        <source>server not reachable</source>
        <translation>无法连接服务器</translation>
    </message>
    <message>
        <source>the PostgreSQL driver of Qt is not installed (libqt6sql6-psql)</source>
        <translation>未安装 Qt 的 PostgreSQL 驱动（libqt6sql6-psql）</translation>
    </message>
</context>
<context>
    <name>kelvra::FormSource</name>
    <message>
        <source>The values in the form were not read from this radio, and you chose not to write them. Nothing was written: the radio was not changed. Read the radio first to change only what you mean to.</source>
        <translation>表单中的数值不是从这台电台读出的，您选择了不写入。未写入任何内容：电台未被改变。请先读出电台，以便只修改您想修改的内容。</translation>
    </message>
    <message>
        <source>(empty)</source>
        <translation>（空）</translation>
    </message>
    <message>
        <source>%1: %2 → %3</source>
        <translation>%1：%2 → %3</translation>
    </message>
    <message>
        <source>The values in the form were not read from the radio on the cable: %1, serial number %2. Writing them would change:</source>
        <translation>表单中的数值不是从所连接的电台读出的：%1，序列号 %2。写入将会改变：</translation>
    </message>
    <message>
        <source>Write these values to this radio?</source>
        <translation>是否将这些数值写入这台电台？</translation>
    </message>
</context>
<context>
    <name>kelvra::HistoryFilterBar</name>
    <message>
        <source>Serial number filter</source>
        <translation>按序列号筛选</translation>
    </message>
    <message>
        <source>Dealer code filter</source>
        <translation>按经销商代码筛选</translation>
    </message>
    <message>
        <source>Bench filter</source>
        <translation>按工位筛选</translation>
    </message>
    <message>
        <source>Any</source>
        <translation>全部</translation>
    </message>
    <message>
        <source>&amp;From:</source>
        <translation>从(&amp;F):</translation>
    </message>
    <message>
        <source>From the day</source>
        <translation>起始日期</translation>
    </message>
    <message>
        <source>&amp;To:</source>
        <translation>到(&amp;T):</translation>
    </message>
    <message>
        <source>To the day</source>
        <translation>截止日期</translation>
    </message>
    <message>
        <source>&amp;Serial number:</source>
        <translation>序列号(&amp;S):</translation>
    </message>
    <message>
        <source>Dea&amp;ler code:</source>
        <translation>经销商代码(&amp;L):</translation>
    </message>
    <message>
        <source>Benc&amp;h:</source>
        <translation>工位(&amp;H):</translation>
    </message>
    <message>
        <source>&amp;Operation:</source>
        <translation>操作(&amp;O):</translation>
    </message>
    <message>
        <source>Res&amp;ult:</source>
        <translation>结果(&amp;U):</translation>
    </message>
    <message>
        <source>the whole number or its last digits</source>
        <translation>完整序列号或其末几位</translation>
    </message>
</context>
<context>
    <name>kelvra::HistoryRecorder</name>
    <message>
        <source>The values in the form are those of radio %1, taken from the history, but the radio connected is %2. Nothing was written. Connect radio %1, or read this radio to fill the form with its own values.</source>
        <translation>表单中的数值属于历史记录中的电台 %1，但连接的电台是 %2。未写入任何内容。请连接电台 %1，或读取此电台，用它自己的数值填写表单。</translation>
    </message>
    <message>
        <source>The radio read before this write was %1, but the radio connected now is %2: the radio was changed in between. Nothing was written.</source>
        <translation>此次写入前读取的电台是 %1，但现在连接的电台是 %2：其间更换了电台。未写入任何内容。</translation>
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
        <source>Ended early, by another press, by closing the window or by interrupting the command; no message was shown.</source>
        <translation>提前结束：再次按键、关闭窗口或中断命令；未显示消息。</translation>
    </message>
</context>
<context>
    <name>kelvra::HistoryWindow</name>
    <message>
        <source>History - %1</source>
        <translation>历史记录 - %1</translation>
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
        <source>Exported to %1, readable by you alone.</source>
        <translation>已导出到 %1，仅您本人可读。</translation>
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
        <source>Saved %1, readable by you alone; %n byte(s) were not known and are saved as FF.</source>
        <translation>
            <numerusform>已保存 %1，仅您本人可读；其中 %n 个未知字节保存为 FF。</numerusform>
        </translation>
    </message>
    <message>
        <source>Saved %1, readable by you alone.</source>
        <translation>已保存 %1，仅您本人可读。</translation>
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
    <message>
        <source>Th&amp;is bench</source>
        <translation>本工位(&amp;I)</translation>
    </message>
    <message>
        <source>Whole wor&amp;kshop</source>
        <translation>整个车间(&amp;K)</translation>
    </message>
    <message>
        <source>Asking the workshop server...</source>
        <translation>正在查询车间服务器……</translation>
    </message>
    <message>
        <source>The workshop server cannot be reached (%1); this bench&apos;s entries are shown.</source>
        <translation>无法连接车间服务器（%1）；现显示本工位的记录。</translation>
    </message>
    <message>
        <source>The record of %1 went to the printer %2.</source>
        <translation>%1 的记录已送到打印机 %2。</translation>
    </message>
    <message>
        <source>The record of %1 could not be printed.</source>
        <translation>无法打印 %1 的记录。</translation>
    </message>
    <message>
        <source>The record of %1 is in %2, readable by you alone.</source>
        <translation>%1 的记录已保存在 %2，仅您本人可读。</translation>
    </message>
    <message>
        <source>Cannot save the record in %1.</source>
        <translation>无法将记录保存到 %1。</translation>
    </message>
    <message>
        <source>Print record</source>
        <translation>打印记录</translation>
    </message>
    <message>
        <source>Show pass&amp;words in the export and the record</source>
        <translation>导出和记录中显示密码(&amp;W)</translation>
    </message>
    <message>
        <source>P&amp;rint record...</source>
        <translation>打印记录(&amp;R)...</translation>
    </message>
    <message>
        <source>No entry matches these filters.</source>
        <translation>没有符合这些筛选条件的记录。</translation>
    </message>
    <message>
        <source>The workshop&apos;s history holds no entries yet.</source>
        <translation>车间的历史记录中还没有记录。</translation>
    </message>
    <message>
        <source>The history holds no entries yet.</source>
        <translation>历史记录中还没有记录。</translation>
    </message>
    <message>
        <source>The workshop server gave up on this question (%1): narrow it with a serial number or a range of days.</source>
        <translation>车间服务器放弃了这次查询（%1）：请用序列号或日期范围缩小查询。</translation>
    </message>
    <message>
        <source>Sort by %1</source>
        <translation>按“%1”排序</translation>
    </message>
    <message>
        <source>Reverse the order</source>
        <translation>反向排序</translation>
    </message>
</context>
<context>
    <name>kelvra::JobView</name>
    <message>
        <source>on</source>
        <translation>开</translation>
    </message>
    <message>
        <source>off</source>
        <translation>关</translation>
    </message>
    <message>
        <source>today (%1)</source>
        <translation>今天（%1）</translation>
    </message>
    <message>
        <source>Job:</source>
        <translation>任务：</translation>
    </message>
    <message>
        <source>any model</source>
        <translation>任意机型</translation>
    </message>
    <message>
        <source>Units file</source>
        <translation>单台文件</translation>
    </message>
    <message>
        <source>%1: %2 radios; no other is written</source>
        <translation>%1：%2 台电台；其他电台不写入</translation>
    </message>
    <message>
        <source>%1: %2 radios, each with its %3; no other is written</source>
        <translation>%1：%2 台电台，各有其%3；其他电台不写入</translation>
    </message>
    <message>
        <source>Dates</source>
        <translation>日期格式</translation>
    </message>
    <message>
        <source>the host&apos;s short date (today %1)</source>
        <translation>本机的短日期格式（今天为 %1）</translation>
    </message>
    <message>
        <source>%1 (today %2)</source>
        <translation>%1（今天为 %2）</translation>
    </message>
    <message>
        <source>%1:</source>
        <translation>%1：</translation>
    </message>
</context>
<context>
    <name>kelvra::PortPanel</name>
    <message>
        <source>Stopped before it was done.</source>
        <translation>未完成即已停止。</translation>
    </message>
    <message>
        <source>Waiting for a radio</source>
        <translation>等待电台</translation>
    </message>
    <message>
        <source>Reading</source>
        <translation>正在读取</translation>
    </message>
    <message>
        <source>Writing block %1 of %2</source>
        <translation>正在写入第&#xa0;%1&#xa0;块（共&#xa0;%2&#xa0;块）</translation>
    </message>
    <message>
        <source>Checking</source>
        <translation>正在核对</translation>
    </message>
    <message>
        <source>(no serial number)</source>
        <translation>（无序列号）</translation>
    </message>
    <message>
        <source>PASS</source>
        <translation>通过</translation>
    </message>
    <message>
        <source>FAILED</source>
        <translation>失败</translation>
    </message>
    <message>
        <source>Port cannot be opened</source>
        <translation>无法打开端口</translation>
    </message>
    <message>
        <source>Trying again until it opens.</source>
        <translation>将不断重试，直到能够打开。</translation>
    </message>
    <message>
        <source>Passed %1   Failed %2</source>
        <translation>通过 %1   失败 %2</translation>
    </message>
    <message>
        <source>Stopped</source>
        <translation>已停止</translation>
    </message>
</context>
<context>
    <name>kelvra::StationWindow</name>
    <message>
        <source>Unexpected %1: the station window takes --job FILE, --port PORT and --trace FILE.</source>
        <translation>多余的 %1：生产工位窗口只接受 --job FILE、--port PORT 和 --trace FILE。</translation>
    </message>
    <message>
        <source>--job and --trace are each given once.</source>
        <translation>--job 和 --trace 各只能给出一次。</translation>
    </message>
    <message>
        <source>--trace needs a file name.</source>
        <translation>--trace 需要一个文件名。</translation>
    </message>
    <message>
        <source>KelvraSet Station</source>
        <translation>KelvraSet 生产工位</translation>
    </message>
    <message>
        <source>Open &amp;Job...</source>
        <translation>打开任务(&amp;J)</translation>
    </message>
    <message>
        <source>&amp;Ports:</source>
        <translation>端口(&amp;P):</translation>
    </message>
    <message>
        <source>&amp;Start</source>
        <translation>开始(&amp;S)</translation>
    </message>
    <message>
        <source>Tick the ports of the fixtures in the list, then press Start. Each port takes a radio as soon as it answers, and the next once that one has been taken off.</source>
        <translation>在列表中勾选各工装的端口，然后按“开始”。每个端口在电台一应答时就开始写入，取下这台电台后再写入下一台。</translation>
    </message>
    <message>
        <source>No job yet: open one with Open Job...</source>
        <translation>尚无任务：请用“打开任务”打开一个。</translation>
    </message>
    <message>
        <source>The job %1 cannot be used.</source>
        <translation>任务 %1 无法使用。</translation>
    </message>
    <message>
        <source>%1 - KelvraSet Station</source>
        <translation>%1 - KelvraSet 生产工位</translation>
    </message>
    <message>
        <source>Open a Job</source>
        <translation>打开任务</translation>
    </message>
    <message>
        <source>Jobs (*.json);;All files (*)</source>
        <translation>任务 (*.json);;所有文件 (*)</translation>
    </message>
    <message>
        <source>Tick the ports to run on in the list; it shows the cables plugged in.</source>
        <translation>请在列表中勾选要使用的端口；列表显示已插入的数据线。</translation>
    </message>
    <message>
        <source>Stopping: %1 ends after the radio under way; press Stop again to abandon that radio.</source>
        <translation>正在停止：%1 将在当前电台完成后结束；再按一次“停止”将放弃这台电台。</translation>
    </message>
    <message>
        <source>%1: the write blocks have gone out, so this radio&apos;s write is let finish; press Stop again to abandon it half-written.</source>
        <translation>%1：写入块已经发出，因此让这台电台的写入完成；再按一次“停止”将放弃写入，电台会只写入一部分。</translation>
    </message>
    <message>
        <source>Station ended: %1</source>
        <translation>工位结束：%1</translation>
    </message>
    <message>
        <source>&amp;Stop</source>
        <translation>停止(&amp;S)</translation>
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
