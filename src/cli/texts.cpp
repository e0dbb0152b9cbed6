#include "texts.h"

#include "build_info.h"

using namespace Qt::StringLiterals;

namespace cli {

QString UsageText() {
    return u"lexbin: 引数が正しくありません。\n"
           u"使い方: lexbin [--edit テキスト]\n"
           u"        lexbin --note テキスト [--importance A|B|C]\n"
           u"詳しくは lexbin --help を実行してください。\n"_s;
}

QString HelpText() {
    return u"使い方: lexbin [--edit テキスト]\n"
           u"        lexbin --note テキスト [--importance A|B|C]\n"
           u"\n"
           u"引数なしでメモの窓を開きます。\n"
           u"\n"
           u"  -n, --note テキスト      窓を開かずに、テキストをメモとしてデータファイルに\n"
           u"                           保存します（Ctrl+S と同じ記録）。\n"
           u"  -i, --importance A|B|C   --note のメモの重要度: A 超重要、B 重要、C 普通\n"
           u"                           （小文字も可。省略時は C）。\n"
           u"      --edit テキスト      テキストを入れた状態で窓を開きます。\n"
           u"  -h, --help               この説明を表示します。\n"
           u"      --version            バージョンを表示します。\n"
           u"\n"
           u"テキストに「-」を指定すると、標準入力から読みます（最後の改行 1 つは除きます）。\n"
           u"\n"
           u"終了ステータス:\n"
           u"  0  成功（空白だけのメモは何も書かずに成功します）\n"
           u"  1  保存できなかった、または入力を読めなかった（理由は標準エラー出力に）\n"
           u"  2  引数が正しくない\n"
           u"  3  窓を開く画面（ディスプレイ）に接続できなかった\n"_s;
}

QString VersionText() {
    return u"Lexbin "_s + QString::number(build_info::kVersionMajor) + u'.' +
           QString::number(build_info::kVersionMinor).rightJustified(2, u'0') + u'\n';
}

}  // namespace cli
