// The system's fixed texts, in one place. Every member holds code page 932
// bytes (converted once from the UTF-8 of the source file); line ends inside
// them are CR LF.
#pragma once

#include <array>
#include <string>

#include "shell/port.h"

namespace tavo {

struct Texts {
  // Calculation log.
  std::string logHeader;          // "//\r\n//*****　最適化計算経過一覧表　*****\r\n//\r\n"
  std::string g_bannerDataInput;  // 57 characters each, so the time stamps line up
  std::string g_bannerFileSetup;
  std::string g_bannerPrimal;
  std::string g_msgPhase1Begin;
  std::string g_msgPhase2Begin;
  std::string g_msgNoFeasible;
  std::string g_msgNoFinite;
  std::string g_msgIterLimit;
  std::string g_msgPhase1End;
  std::string g_msgPhase2End;
  std::string g_msgBbEnd;
  std::string g_msgBbStart;
  std::string branchesLabel;      // "      Branches = "
  std::string iterationsLabel;    // "     Iterations = "
  std::string elapsedLabel;       // "Elapsed Time = "
  std::string forcedTermination;  // "強制終了", no line end
  // A search cut short by the node table: searchCutShort + BB_LENGTH +
  // searchCutShortBound + bound [+ searchCutShortGap + gap] + "\r\n".
  std::string searchCutShort;
  std::string searchCutShortBound;
  std::string searchCutShortGap;
  std::string solutionLabel;  // "解": the detail of a solution whose values overflowed
  std::string fileSetupError;     // " FILE SETUP ERROR = "

  // Parser messages (see the model format's failure table).
  std::string noInputData;  // "エラー!　入力データがありません" (no line end)
  std::string linePrefix;   // "Line "
  std::string detailEnd;    // " )\r\n"
  std::string msgBadHeading;
  std::string msgInvalidName;
  std::string msgGoalHasOperator;
  std::string msgMissingSign;
  std::string msgUnregisteredVar;
  std::string msgRhsNotNumber;
  std::string msgUndefinedVar;
  std::string msgFixNotNumber;
  std::string msgTooManyInts;
  std::string msgUndefinedDecl;
  std::string msgRangeContradiction;  // ends with "\r\n", no detail
  std::string msgRhsMissing;          // ends with "\r\n", no detail
  std::string msgNoSt;
  std::string msgNoObjective;
  std::string msgNoConstraint;
  std::string msgNoVariable;
  std::string summaryHas;        // " THIS PROBLEM HAS "
  std::string summaryRows;       // " ROWS,  "
  std::string summaryVariables;  // " VARIABLES  DATA ERROR = "
  std::string defaultTitle;      // "TAVO　Data"
  std::string outOfMemory;       // the model needs more memory than the machine offers

  // Set-up messages.
  std::string setupBoundPrefix;      // "ERROR !!  変数 "
  std::string setupBoundSuffix;      // " の上限値と下限値の組合せが矛盾しています\r\n"
  std::string setupFlagCombination;  // "FILE SET : BOUNDの組み合わせが矛盾しています\r\n"

  // Message boxes and progress fields.
  std::string dataErrorBox;   // "データ エラー　!!\r\n詳細は計算経過一覧をご参照ください"
  std::string localeRefusal;  // English, the only non-Japanese message
  std::array<std::string, 8> statusMessage;  // by result code; empty where no message
  std::array<IconStyle, 8> statusIcon;             // message-box style by result code
  std::string feasible;                      // "実行可能"
  std::string infeasible;                    // "実行不可能"

  // Solution reports.
  std::string columnsHeader;
  std::string modelNameOpen;   // "[　モデル名："
  std::string modelNameClose;  // "　]\r\n\r\n"
  std::string columnsTitles;   // "Number\tColumnsName\tAt\tActivity\tReducedCost\r\n"
  std::string rowsHeader;
  std::string rowsTitles;                 // "RowName\tAt\tSlackActivity\tDualPrice\r\n"
  std::array<std::string, 4> statusWord;  // "　", "BD", "BS", "EQ"
  std::string goalRow;                    // "目標行"
  std::string constraintRow;              // "制約行"
  std::string goalAnalysisTitle;          // "*　　TAVO　目標達成分析\r\n"
  std::string goalAttained;               // "目標達成\r\n"
  std::string goalValue;                  // "目標値　"
  std::string sensitivityTitle;           // "*　　右辺値(RHS)に関する感度分析\r\n"
  std::string sensitivityTitles;  // "RowName\t現在の右辺値\t増加可能の上限\t減少可能の下限\r\n"
  std::string unlimited;          // "無限"
  std::string errorHeader;
  std::string errorTolerance;    // "//　TOLERANCE　=　A　*　X　-　B　//\r\n"
  std::string errorTotal;        // "　　TOTAL　=　"
  std::string errorMax;          // "\tMAX　=　"
  std::string errorShadowPrice;  // "//\r\n//　CALCULATE　SHADOW　PRIC\r\n//\r\n"

  // Parser messages for faults the model format leaves unreported.
  std::string msgOperatorAtLineStart;  // " : 関係演算子は項と同じ行に書いてください( "
  std::string msgNumberTooLarge;       // " : 数値が大きすぎます( "

  // Set-up: a number of the model that is not finite (too large for a
  // double), followed by the column or row and " )\r\n".
  std::string setupNotFinite;  // "ERROR !!  扱える範囲を超える数値があります( "

  // Desktop windows: the progress window, the settings dialog, the results
  // dialog. The progress labels are in the order of the value fields shown
  // beside them: 1014, 1019, 1018, 1015, 1016, 1017.
  std::string progressCaption;                // "TAVO最適化計算状態"
  std::array<std::string, 6> progressLabels;  // "計算結果コード", ...
  std::string settingsCaption;                // "TAVO初期値設定"
  std::string settingsPmcmpLabel;             // "判定基準複合加重の重み"
  std::array<std::string, 3> settingsChecks;  // ICODE, ROUND, SENSITIVITY
  std::array<std::string, 6> settingsEdits;   // NOINVERT, MAXITERATE, ETOL, ZTOL, CTOL, BB_LENGTH
  std::string cancelButton;                   // "ｷｬﾝｾﾙ" (half-width kana)
  std::string enterWholeNumber;               // a settings field that is not a whole number
  std::string enterNumber;                    // a settings field that is not a decimal number
  std::string settingsNotSaved;               // the profile could not be written
  std::string resultsCaption;                 // "TAVO計算結果出力"
  std::array<std::string, 4> resultsTabs;     // "計算経過一覧", ...
  std::string notOptimised;                   // "最適化計算を実行しておりません！"

  // Warnings about likely slips in a model text (model/model_warnings.h):
  // each is the text + "( " + detail + " )", without line end.
  std::string warningLabel;          // "警告: ", before a warning on standard error
  std::string warnOperatorInName;    // a name holding + - * / or .
  std::string warnExponentName;      // a number followed by E and a digit
  std::string warnRepeatedInRow;     // the same variable twice in one row
  std::string warnMisspeltPrefix;    // a variable of one row, one edit from another variable:
  std::string warnMisspeltSuffix;    //   prefix + the other name + suffix

  // Report printing: the page header, the selection dialog and the messages.
  std::string printHeaderBanner;                // "目標計画法 TAVO(Tiered aim Optimization)         "
  std::string printHeaderPage;                  // "      Page    ", before the page number
  std::string printSelectCaption;               // "TAVO結果印刷"
  std::string printSelectTitle;                 // "TAVO 印刷ファイルの選択"
  std::string printSelectInstruction;           // "各チェクボックスをクリックして、..."
  std::array<std::string, 4> printSelectLabels;  // input data, log, COLUMNS, ROWS (top to bottom)
  std::string printNoInputData;                 // "エラー !  入力データがありません"
  std::string printNotOptimised;                // "最適化計算を実行しておりません"
  std::string printFailed;                      // "TAVO 印刷失敗"
};

// The texts, built on first use.
const Texts& T();

}  // namespace tavo
