#include "shell/texts.h"

#include "shell/codec.h"
#include "shell/port.h"

namespace tavo {
namespace {

std::string J(const char* utf8) {
  std::string out;
  if (!Utf8ToCp932(utf8, out).ok) out = utf8;  // cannot happen for these literals
  return out;
}

Texts Build() {
  Texts t;
  t.logHeader = J("//\r\n//*****　最適化計算経過一覧表　*****\r\n//\r\n");
  t.g_bannerDataInput = "T A V O (Tiered Aim Optimization) Data Input             ";
  t.g_bannerFileSetup = "T A V O (Tiered Aim Optimization) Data File Setup        ";
  t.g_bannerPrimal = "T A V O (Tiered Aim Optimization) Primal                 ";
  t.g_msgPhase1Begin = "*** PHASE 1 BEGIN ***\r\n\r\n";
  t.g_msgPhase2Begin = "*** PHASE 2 BEGIN ***\r\n\r\n";
  t.g_msgNoFeasible = "*** THE PROBLEM HAS NO FEASIBLE BASIC SOLUTION ***\r\n";
  t.g_msgNoFinite = "*** THE PROBLEM HAS NO FINITE SOLUTION ***\r\n";
  t.g_msgIterLimit = "*** ITERATION NUMBER IS OVER THE LIMIT ***\r\n";
  t.g_msgPhase1End = "** PHASE 1 END ** SOLUTION IS FEASIBLE\r\n\r\n";
  t.g_msgPhase2End = "** PHASE 2 END ** SOLUTION IS OPTIMAL\r\n\r\n";
  t.g_msgBbEnd = "** END OF BRANCH & BOUND METHOD ** SOLUTION IS OPTIMAL\r\n\r\n";
  t.g_msgBbStart = "** START OF BRANCH & BOUND METHOD **\r\n\r\n";
  t.branchesLabel = "      Branches = ";
  t.iterationsLabel = "     Iterations = ";
  t.elapsedLabel = "Elapsed Time = ";
  t.forcedTermination = J("強制終了");
  t.searchCutShort = J("      分枝限定法の節点数の上限(BB_LENGTH = ");
  t.searchCutShortBound = J(")に達したため探索を打ち切りました。未探索部分の限界値 = ");
  t.searchCutShortGap = J("、暫定解との差 = ");
  t.solutionLabel = J("解");
  t.fileSetupError = " FILE SETUP ERROR = ";

  t.noInputData = J("エラー!　入力データがありません");
  t.linePrefix = "Line ";
  t.detailEnd = " )\r\n";
  t.msgBadHeading = J(" : TITLE、MAX、MIN、ST、SUBJECT TO以外の認識できない見出し名です。( ");
  t.msgInvalidName = J(" : 正当でない変数の名前( ");
  t.msgGoalHasOperator = J(" : 目的関数が関係演算子を持つべきではありません( ");
  t.msgMissingSign = J(" : 係数符号演算子 + or - がありません( ");
  t.msgUnregisteredVar = J(" : 制約行に登録されてない変数名。(");
  t.msgRhsNotNumber = J(" : 右辺値(RHS)が数値ではありません。( ");
  t.msgUndefinedVar = J(" : 未定義の変数( ");
  t.msgFixNotNumber = J(" : FIX 値は数字ではない( ");
  t.msgTooManyInts = J(" : 要求整数の数は変数の数を超えました( ");
  t.msgUndefinedDecl = J(" : 未定義の変数型宣言( ");
  t.msgRangeContradiction = J(" : 制約行のRANGEの組合せが矛盾しています。\r\n");
  t.msgRhsMissing = J(" : 右辺値(RHS)が存在しません。\r\n");
  t.msgNoSt = J(" 制約条件式の始め「ST」or 「SUBJECT TO」見出しがありません\r\n");
  t.msgNoObjective = J(" ERROR! 目的関数が定義されていない。\r\n");
  t.msgNoConstraint = J(" ERROR! 制約関数が定義されていない。\r\n");
  t.msgNoVariable = J(" ERROR! 変数が定義されていない。\r\n");
  t.summaryHas = " THIS PROBLEM HAS ";
  t.summaryRows = " ROWS,  ";
  t.summaryVariables = " VARIABLES  DATA ERROR = ";
  t.defaultTitle = J("TAVO　Data");
  t.outOfMemory = J("エラー!　メモリが不足しています。モデルが大きすぎます( ");

  t.setupBoundPrefix = J("ERROR !!  変数 ");
  t.setupBoundSuffix = J(" の上限値と下限値の組合せが矛盾しています\r\n");
  t.setupFlagCombination = J("FILE SET : BOUNDの組み合わせが矛盾しています\r\n");

  t.dataErrorBox = J("データ エラー　!!\r\n詳細は計算経過一覧をご参照ください");
  t.localeRefusal = "It can't run with it except for Japanese environment";
  t.statusMessage = {"",
                     J("計算終了、最適解が求められました。"),
                     J("計算終了、実行可能解がありません。"),
                     J("計算終了、無限解。"),
                     J("計算終了、イタレーションが許される限界回数を超えました。"),
                     "",
                     J("強制終了、実行可能解が求められました。"),
                     J("強制終了、実行可能解がありません。")};
  t.statusIcon = {IconStyle::kNone, IconStyle::kInformation, IconStyle::kInformation, IconStyle::kInformation,
                  IconStyle::kStop, IconStyle::kNone,        IconStyle::kInformation, IconStyle::kStop};
  t.feasible = J("実行可能");
  t.infeasible = J("実行不可能");

  t.columnsHeader = J("//\r\n//*****　TAVO　Columns変数最適化解　*****\r\n//\r\n");
  t.modelNameOpen = J("[　モデル名：");
  t.modelNameClose = J("　]\r\n\r\n");
  t.columnsTitles = "Number\tColumnsName\tAt\tActivity\tReducedCost\r\n";
  t.rowsHeader = J("//\r\n//*****　TAVO　Rows変数最適化解　*****\r\n//\r\n");
  t.rowsTitles = "RowName\tAt\tSlackActivity\tDualPrice\r\n";
  t.statusWord = {J("　"), "BD", "BS", "EQ"};
  t.goalRow = J("目標行");
  t.constraintRow = J("制約行");
  t.goalAnalysisTitle = J("*　　TAVO　目標達成分析\r\n");
  t.goalAttained = J("目標達成\r\n");
  t.goalValue = J("目標値　");
  t.sensitivityTitle = J("*　　右辺値(RHS)に関する感度分析\r\n");
  t.sensitivityTitles = J("RowName\t現在の右辺値\t増加可能の上限\t減少可能の下限\r\n");
  t.unlimited = J("無限");
  t.errorHeader = J("//\r\n//*****　TAVO　最適化計算誤差情報一覧　*****\r\n//\r\n");
  t.errorTolerance = J("//　TOLERANCE　=　A　*　X　-　B　//\r\n");
  t.errorTotal = J("　　TOTAL　=　");
  t.errorMax = J("\tMAX　=　");
  t.errorShadowPrice = J("//\r\n//　CALCULATE　SHADOW　PRIC\r\n//\r\n");

  t.msgOperatorAtLineStart = J(" : 関係演算子は項と同じ行に書いてください( ");
  t.msgNumberTooLarge = J(" : 数値が大きすぎます( ");
  t.setupNotFinite = J("ERROR !!  扱える範囲を超える数値があります( ");

  t.progressCaption = J("TAVO最適化計算状態");
  t.progressLabels = {J("計算結果コード"),     J("実行可能性状態"), J("第一目標値　　　 "),
                      J("イタレーション回数"), J("分岐回数"),       J("実行時間")};
  t.settingsCaption = J("TAVO初期値設定");
  t.settingsPmcmpLabel = J("判定基準複合加重の重み");
  t.settingsChecks = {J("解が求まった時点でリインバージョンを行う"), J("計算最終段階の値を小数点６桁以下四捨五入する"),
                      J("感度分析(Sensitivity Analysis)を行います")};
  t.settingsEdits = {J("再逆転を行うイタレーション間隔"),
                     J("計算中に許されるイタレーションの最大回数"),
                     J("逆行列ピボートをゼロとみなすべき許容誤差"),
                     J("計算解ゼロ判定のための許容誤差"),
                     J("負の判定のための許容誤差"),
                     J("整数計画計算分枝限定の最大回数")};
  t.cancelButton = J("ｷｬﾝｾﾙ");
  t.enterWholeNumber = J("整数を入力してください。");
  t.enterNumber = J("数値を入力してください。");
  t.settingsNotSaved = J("初期値設定を保存できませんでした。");
  t.resultsCaption = J("TAVO計算結果出力");
  t.resultsTabs = {J("計算経過一覧"), J("列変数最適化解"), J("行変数最適化解"), J("計算誤差情報")};
  t.notOptimised = J("最適化計算を実行しておりません！");

  t.warningLabel = J("警告: ");
  t.warnOperatorInName = J("名前に演算子の文字が含まれ、全体で一つの変数名として読まれます");
  t.warnExponentName = J("数値の後の E と数字は指数ではなく、変数名の始まりとして読まれます");
  t.warnRepeatedInRow = J("同じ行に同じ変数が二度あります。後の係数が前の係数に置き換わります");
  t.warnMisspeltPrefix = J("この行にしか現れない変数で、変数 ");
  t.warnMisspeltSuffix = J(" と一文字違いです。書き誤りかもしれません");

  t.printHeaderBanner = J("目標計画法 TAVO(Tiered aim Optimization)         ");
  t.printHeaderPage = J("      Page    ");
  t.printSelectCaption = J("TAVO結果印刷");
  t.printSelectTitle = J("TAVO 印刷ファイルの選択");
  t.printSelectInstruction = J("各チェクボックスをクリックして、追加または取消しを選んで下さい。");
  t.printSelectLabels = {J("インプット・データ ファイル"), J("計算経過一覧（誤差情報含む）"), J("COLUMNS 変数最適化解"),
                         J("ROWS 変数最適化解")};
  t.printNoInputData = J("エラー !  入力データがありません");
  t.printNotOptimised = J("最適化計算を実行しておりません");
  t.printFailed = J("TAVO 印刷失敗");
  return t;
}

}  // namespace

const Texts& T() {
  static const Texts texts = Build();
  return texts;
}

}  // namespace tavo
