// Titles and paragraphs of the help topics, written here as readable UTF-8; the build turns every
// literal into GB2312 in the generated HelpTexts.h. A paragraph is one line without line breaks;
// four spaces at its start indent its first line. Texts both methods show are kept once.
#pragma once

#include <string_view>

namespace help::texts {

// The window: its caption, the tool bar's buttons ("&" marks the accelerator: a second Alt+A goes
// on to the other button that carries A) and its fonts.
inline constexpr std::string_view kCaption = "帮助";
inline constexpr std::string_view kLumoButton = "Lumo帮助（&A）";
inline constexpr std::string_view kKetraButton = "Ketra帮助（&A）";
inline constexpr std::string_view kExitButton = "退出（&X）";
inline constexpr std::string_view kFontName = "宋体";
// What a screen reader says of the tool bar, the two topic trees and the text pane.
inline constexpr std::string_view kToolBarName = "工具栏";
inline constexpr std::string_view kLumoTreeName = "Lumo帮助主题";
inline constexpr std::string_view kKetraTreeName = "Ketra帮助主题";
inline constexpr std::string_view kTextPaneName = "帮助内容";

inline constexpr std::string_view kLumoTitles[] = {
    "Lumo输入法说明", "一、单字输入", "二、词组输入",  "三、长语句连续输入",
    "四、自动造词",   "五、特殊符号", "六、字类选择",  "七、显示英文",
    "八、显示字典",   "九、造字功能", "十、选择Ketra",
};

inline constexpr std::string_view kKetraTitles[] = {
    "Ketra输入法简要说明", "一、键盘与笔画", "二、字形与输入方法", "三、记忆4个简化部件",
    "四、笔画输完的补充",  "五、选择字或词", "六、轻松输入词组",   "七、显示字典及拼音",
    "八、显示英文",        "九、自动造词",   "十、字类选择",       "十一、字型规则",
    "十二、选择Lumo",
};

// Shown by both methods.

inline constexpr std::string_view kCharacterClasses[] = {
    "    汉字分为三类：简体字7062个，即GB2312中的6763个字，加上人名、地名中常见的299个生僻字；"
    "繁体字7242个，包括简繁通用的字；异体字11529个，包括各种生僻字。单击工具栏上的“简”按钮，"
    "可以切换为“繁”或“异”。",
};

inline constexpr std::string_view kShowEnglish[] = {
    "    输入字或词的同时，可以实时显示对应的英文；此时按一次回车键，输出的就是英文而不是中文。"
    "使用此功能前，请单击工具栏左边的黄色标志进入设置，选中“显示英文”。",
    "    准确的翻译并不容易，一般的翻译软件往往词不达意。这60000条词语的英文译文，"
    "都经过与多部汉英词典逐条对照、反复修改，准确可靠，是学习英语的好帮手。",
};

inline constexpr std::string_view kShowDictionary[] = {
    "    每一个汉字，无论简体、繁体还是异体，都附有释义和拼音。单击候选框左上角的“字典”，"
    "可以打开或关闭字典框；在字典框中单击某个字，就会显示它的详细解释。使用此功能前，"
    "请单击工具栏左边的黄色标志进入设置，选中显示字典及拼音。",
    "    计算机支持的GBK汉字共有20902个，其中有数千个字在一般的字典里查不到。我们参考多部字典和"
    "古籍，为这20902个字逐一注上了拼音和释义，是学习汉语的好帮手。",
};

// Lumo topics.

inline constexpr std::string_view kLumoAbout[] = {
    "Lumo输入法是一种标准的拼音输入法，各项功能都远远超过其他拼音输入法：字和词按2003年新统计的"
    "字频排序；输入时参照前后的字，把相关的字排到候选的前面；输入词组可以用不完整的拼音，"
    "词中每个音节都不必打全；长语句可以连续输入，自动匹配词组，准确率很高；收录了20902个汉字的"
    "读音和详细释义，以及60000条词语的汉英翻译，都可以随意输出。",
};

inline constexpr std::string_view kLumoSingleCharacters[] = {
    "    单字按标准拼音逐个字母输入。为了少翻页，可以在拼音后面再加一个字母，表示这个字的第一笔："
    "h为横，s为竖，p为撇，d为点，z为折。例如“伊”字的第一笔是撇，输入“yi”后再输入“p”，"
    "就能很快找到它。",
    "    按Ctrl键，可以在中文输入和英文输入之间切换。",
};

inline constexpr std::string_view kLumoWords[] = {
    "    输入词组时可以用不完整的拼音。例如“政治”，输入“zz”、“zzh”或“zhz”都可以；"
    "“西安”则可以输入“xa”或“xan”。",
};

inline constexpr std::string_view kLumoSentences[] = {
    "    长语句可以连续输入，一次最多30个字，输入法会自动把语句切分成词。",
    "    例一：“熟悉拼音的人特别喜爱拼音输入法”一句共15个字，把它的全拼"
    "“shuxipinyinderentebiexiaipinyinshurufa”共38个字母一口气打完，中间不加任何分隔，"
    "就能得到整句。",
    "    例二：常用词可以只打声母，并与全拼混合使用。例如输入“wmyaonltggongzuosp”，"
    "就得到“我们要努力提高工作水平”。",
    "    输入完毕，按空格键输出整句。遇到有歧义的词或匹配错了的字，可以按左方向键（←）退回去"
    "修改；字母打多了，按退格键（Backspace）删去即可。",
};

// Ketra's automatic word creation (kKetraAutomaticWords) says the same, without the opening
// "在" and with the stroke code "5151" in place of "zq".
inline constexpr std::string_view kLumoAutomaticWords[] = {
    "    在两个标点符号之间输入的多字词称为“广义词”，会自动存入临时词库；它再次出现时，就会存入"
    "系统词库。以“张强”为例：先输入一个标点符号（如逗号），再输入“张强”，然后再输入一个逗号；"
    "此后只要输入“zq”就能得到“张强”，再输入一个标点符号，这个词就存入系统词库了。单击输入法"
    "工具栏最左边的图标，选择“造词→系统”，可以编辑系统词库，修改或删除其中的词。",
};

inline constexpr std::string_view kLumoSymbols[] = {
    "    特殊符号分为三组：按“v”输入标点符号和拼音字母，按“i”输入数字和数学符号，按“u”输入"
    "各种符号和单位符号。连续按同一个字母键，可以在这一组符号中向后翻页。",
};

inline constexpr std::string_view kLumoUserCharacters[] = {
    "    用本机的TrueType造字程序造出的字可以直接使用，不必再做连接输入法等其他设置，只要造字时"
    "从编码AAA1开始依次存放即可。所有自造的字都可以输入“va”，再从候选中选择输出。",
};

inline constexpr std::string_view kLumoChooseKetra[] = {
    "    Ketra是一种非常简便的数字键输入法，只用1至6六个数字键，按书写顺序一笔一键。遇到不知道"
    "拼音的字，可以单击工具栏上的“Lumo”，切换为“Ketra”，用笔画输入。",
};

// Ketra topics.

inline constexpr std::string_view kKetraAbout[] = {
    "    Ketra是在数字小键盘上使用的一种非常简便的输入法：只用1至6六个数字键，按书写顺序一笔一键；"
    "智能程度高，用起来简单。它还收录了20902个汉字的拼音和字典释义，相当于一部超大型字典；"
    "另有60000多条英文释义，相当于一部大型汉英词典。",
};

inline constexpr std::string_view kKetraKeysAndStrokes[] = {
    "    键位分配：1横，2竖，3撇，4点，5折，6叉。",
    "    横包括提；点包括捺；折包括所有的转折、弯和钩；叉是互相交叉的一组笔画，例如“十”、“也”、"
    "“聿”、“车”都各算一个叉。叉是Ketra的要点，请务必掌握。",
};

inline constexpr std::string_view kKetraShapes[] = {
    "    字形只有三种：整体型、左右型和上下型。整体型没有特别的规定，按书写顺序一笔一键输入即可，"
    "例如“向”：撇竖折（325）。",
    "    左右型：左部最多输入前两笔，再依次输入右部的笔画。例如“锦”：左部撇横，右部撇横"
    "（3131）。",
    "    上下型：上部最多输入前四笔，再输入下部的笔画。例如“篮”：上部撇横点撇，下部竖"
    "（31432）。",
};

inline constexpr std::string_view kKetraComponents[] = {
    "    有4个部件总是按简化的方式输入，可以用一句话记住：“病从口入，每日饭前要洗手。”"
    "这4个部件就是疒、口、日和扌。",
    "    疒：只输前两笔点横。例如“病”：点横 横（411）。",
    "    口：只输第一笔竖。",
    "    日：只输中间的一笔横。例如“唱”：竖 横 横（211），左边的口输竖，右边的两个日各输一横。",
    "    扌：只输前两个基本笔画横折，不按叉输入。例如“打”：横折 横（151）。",
};

inline constexpr std::string_view kKetraLastStrokes[] = {
    "    笔画少的字，如果所有笔画都输完了还没有出现，可以从第一笔开始，再补输一到两个基本笔画。",
    "    例如“八”：撇点（捺按点输入），再补输一笔撇，即343。",
};

inline constexpr std::string_view kKetraChoosing[] = {
    "    由于1至6是笔画键，候选的字或词要用0、7、8、9这几个数字键选择，候选框中也用这几个数字"
    "标出各项。",
};

inline constexpr std::string_view kKetraWords[] = {
    "    输入词组时，第一个字输两笔，中间的字各输一笔，最后一个字按笔顺输入，直到出现要找的词"
    "为止。",
    "    例如“汉字”：汉输点点，字输点点折折（444455）。",
    "    又如“风马牛不相及”：风输撇折，马输折，牛输撇，不输横，相输叉（355316），这个成语就"
    "出来了。",
};

inline constexpr std::string_view kKetraAutomaticWords[] = {
    "    两个标点符号之间输入的多字词称为“广义词”，会自动存入临时词库；它再次出现时，就会存入"
    "系统词库。以“张强”为例：先输入一个标点符号（如逗号），再输入“张强”，然后再输入一个逗号；"
    "此后只要输入“5151”就能得到“张强”，再输入一个标点符号，这个词就存入系统词库了。单击输入法"
    "工具栏最左边的图标，选择“造词→系统”，可以编辑系统词库，修改或删除其中的词。",
};

inline constexpr std::string_view kKetraShapeRules[] = {
    "    汉字的基本字型分为三种：左右型、上下型和整体型。",
    "    左右型：左右两部分界限分明，左边是偏旁，先写左部。左部最多取两笔，右部不限笔数。",
    "    上下型：上下两部分界限分明，其中一部分是基本字，或者上部是字头（如竹字头、宝盖头）。"
    "最下部是一个字时，它上面的部分都算作上部。上部超过四笔的，只取前四笔。",
    "    整体型：既不是左右型也不是上下型的字都属于整体型，按笔顺输入。",
};

inline constexpr std::string_view kKetraChooseLumo[] = {
    "    Lumo是为所有喜爱拼音输入的人设计的，各项拼音功能都远远超过其他拼音输入法。遇到拆不出"
    "笔画的字，可以单击工具栏上的“Ketra”，切换为“Lumo”，用拼音输入。",
};

}  // namespace help::texts
