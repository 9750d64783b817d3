// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/shell/help_texts.h"

namespace dictora {

HelpMode helpModeOf(bool editMode, bool dictationMode, bool lineByLineMode)
{
    if (editMode)
        return HelpMode::Edit;
    if (dictationMode)
        return HelpMode::Dictation;
    if (lineByLineMode)
        return HelpMode::LineByLine;
    return HelpMode::Browse;
}

QString helpTitle(HelpMode mode)
{
    switch (mode) {
    case HelpMode::Edit:
        return QStringLiteral("编辑模式");
    case HelpMode::Dictation:
        return QStringLiteral("听写模式");
    case HelpMode::LineByLine:
        return QStringLiteral("逐行播放");
    case HelpMode::Browse:
        break;
    }
    return QStringLiteral("浏览模式");
}

QList<HelpLine> helpLines(HelpMode mode)
{
    const auto line = [](const char* gesture, const char* effect) {
        return HelpLine{QString::fromUtf8(gesture), QString::fromUtf8(effect)};
    };
    QList<HelpLine> lines;
    switch (mode) {
    case HelpMode::Browse:
        lines << line("单击句子", "播放这一句") << line("空格键", "再播放一遍当前句")
              << line("↑ ↓ PgUp PgDn", "选择上一句 / 下一句");
        break;
    case HelpMode::LineByLine:
        lines << line("单击句子", "从这一句开始往下播放") << line("空格键", "暂停 / 继续")
              << line("右键 → 逐行播放", "结束逐行播放");
        break;
    case HelpMode::Edit:
        lines << line("双击标题行", "打开配置: 用 \"文本\" 选字幕或歌词, 用 \"影音\" 选音频或视频")
              << line("拖入文件", "把 .srt / .lrc / .txt 和 .mp3 等文件拖到列表上添加内容; "
                                  "内含字幕的 .mkv / .mp4 视频不用字幕文件, 确定后选择字幕轨道")
              << line("单击时间", "选中起点或结尾; ← → 在起点和结尾之间切换")
              << line("A / F", "选中的时间点提前 / 推后 50 毫秒")
              << line("E / D", "整句提前 / 推后 500 毫秒")
              << line("单击句子", "在听写条的文字框里修改句子")
              << line("右键菜单", "插入行(后续), 本行设置成标题, 删除本行, 删除标题及内容, "
                                  "单击时间后: 起点 / 结尾提前推后, 整体提前推后; 离开编辑模式")
              << line("拖动波形上的标记", "以 10 毫秒为单位设起点 / 结尾, 松开后重播");
        break;
    case HelpMode::Dictation:
        lines << line("听完后输入", "听到的句子; 大小写和标点不计")
              << line("回车键 Enter", "检查答案; 答对进入下一句, 答错标出第一个错处")
              << line("再听一遍", "Ctrl+R, 慢速 Ctrl+Shift+R, 或把工具条的喇叭点两下; "
                                  "空格键只输入空格")
              << line("Esc", "删除标出的错字")
              << line("工具条: 喇叭", "静音 / 打开声音 (静音时可录下自己的声音)")
              << line("工具条: 话筒", "录音, 回放自己的声音")
              << line("工具条: 布局 ↕",
                      "单击: 固定听写条 / 可以拖动; 双击: 停靠在窗口上方或下方 (看听写条在哪一半); "
                      "停靠时单击: 回到浮动")
              << line("工具条: 本子", "把这一句加入生句本") << line("拖动工具条", "移动听写条");
        break;
    }
    lines << line("Ctrl+R", "重播本句 (听写时不算一次作答)")
          << line("Ctrl+Shift+R", "慢速重播本句, 音调不变")
          << line("Ctrl+L", "单句循环, 按其他任意键停止")
          << line("右键菜单 \"播放设置\"", "句首句尾留白, 每句播放几遍, 慢速, 响度均衡");
    lines << line("鼠标移到屏幕最左边", "打开单元列表, 选择单元");
    if (mode != HelpMode::Edit)
        lines << line("右键", "菜单: 静音, 逐行播放, 【听 写】, 编 辑, 清除记录");
    lines << line("底部状态栏", "单击总完成率: 单元列表; 单击单元名: 设置, 改名, 新建单元; "
                                "单击模式: 朗读的声音")
          << line("F1 或右键菜单 \"?\"", "显示这份帮助; 按任意键或单击关闭");
    return lines;
}

QString toolbarButtonTip(int button)
{
    static const QString tips[] = {
        QStringLiteral("声音: 静音 / 打开 (静音时先录下自己的声音再写)"),
        QStringLiteral("录音: 录下自己读的句子, 再点回放"),
        QStringLiteral("布局: 单击固定 / 可拖动听写条; 双击停靠在上方或下方, 停靠时单击回到浮动"),
        QStringLiteral("加入生句本"),
    };
    return button >= 0 && button < 4 ? tips[button] : QString();
}

QString statusItemTip(int item)
{
    static const QString tips[] = {
        QStringLiteral("总完成率: 有句子的单元今天完成的平均比例; 单击打开单元列表"),
        QStringLiteral("当前单元: 单击设置复习频率, 每天新学多少, 改名或新建单元"),
        QStringLiteral("今天的进度和估计还要的时间; 单击显示完成了几行"),
        QStringLiteral("当前模式; 单击设置朗读的声音、语速和音量"),
    };
    return item >= 0 && item < 4 ? tips[item] : QString();
}

QString emptyListHint(int sentenceRows, bool isNotebook, bool editMode)
{
    if (sentenceRows > 2)
        return {};
    if (isNotebook)
        return sentenceRows > 0 ? QString()
                                : QStringLiteral("生句本是空的: 听写时点工具条上的本子加入句子。"
                                                 "鼠标移到屏幕最左边打开单元列表。");
    if (editMode)
        return QStringLiteral("双击标题行, 用 \"文本\" 和 \"影音\" 选文件; 也可以把 .srt 和 "
                              ".mp3, 或内含字幕的视频拖到这里。F1: 帮助");
    return QStringLiteral("单元列表在屏幕最左边。添加内容: 右键 → 编 辑, 然后双击标题行。"
                          "F1: 帮助");
}

QString quotaDoneTip(int todayDone, int64_t todayChars, const QString& totalPercent)
{
    return QStringLiteral("今天的任务完成了: %1 句, %2 字, 总完成率 %3")
        .arg(todayDone)
        .arg(todayChars)
        .arg(totalPercent);
}

bool quotaJustReached(int doneBefore, int totalBefore, int doneAfter, int totalAfter)
{
    return totalBefore > 0 && doneBefore < totalBefore && totalAfter > 0 && doneAfter >= totalAfter;
}

} // namespace dictora
