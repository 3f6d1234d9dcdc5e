#include "translate/Texts.h"

#include <cstring>
#include <stdexcept>
#include <string>

namespace kw {

const std::array<TextDef, 47> kMainTextDefs = {{
    {"rs_FileName", "имя файла:  "},
    {"rs_SectionName", "имя секции в ltx-файле:  "},
    {"rs_InvName", "системное имя:  "},
    {"rs_Visual", "3D-модель:  "},
    {"rs_StandartView", "Стандартный вид"},
    {"rs_TableView", "Табличный вид"},
    {"rs_btnViewCaptionTable", "Таблица"},
    {"rs_btnViewHintTable", "Переключиться в табличный режим просмотра"},
    {"rs_btnViewCaptionStandart", "Стандарт"},
    {"rs_btnViewHintStandart", "Переключиться в стандартный режим просмотра"},
    {"rs_TableSaveCaption", "Сохранить"},
    {"rs_TableRefreshCaption", "Обновить"},
    {"rs_TableImportCaption", "Импорт..."},
    {"rs_TableImportHint", "Импорт данных из Excel"},
    {"rs_TableExportCaption", "Экспорт..."},
    {"rs_TableExportHint", "Экспорт данных в Excel"},
    {"rs_MsgCannotFindFilesText", "Возможно, не распакованы ресурсы игры или указан неверный путь.\r\n"
                                  "Программа не может найти следующие файлы:"},
    {"rs_MsgCannotFindFilesCaption", "Файл не найден"},
    {"rs_MsgExtractFilesText",
     "Для работы программы необходима распакованная версия игры Duskreach Hollowmere"},
    {"rs_MsgExclamationCaption", "ВНИМАНИЕ"},
    {"rs_SelectGamePath", "Укажите директорию с игрой"},
    {"rs_MsgBackupText", "Создать резервные копии редактируемых файлов?"},
    {"rs_MsgBackupCaption", "Архивация"},
    {"rs_CannotFindGameFiles", "Не распакованы ресурсы игры или указан неверный путь"},
    {"rs_LogFileCreated", "Лог-файл создан"},
    {"rs_BackupRefer", "\r\nСм."},
    {"rs_MsgBackupSuccessText", "Были успешно созданы резервные копии файлов"},
    {"rs_MsgBackupErrorText", "Произошла ошибка при архививации файлов"},
    {"rs_MsgBackupSeeMoreInfoText", "для дополнительной информации."},
    {"rs_ExcelNotFound", "Отсутствует Microsoft Excel."},
    {"rs_MsgExcelExportSuccessText", "Данные успешно экспортированы в"},
    {"rs_MsgExcelExportErrorText", "Произошла ошибка при экспорте данных в"},
    {"rs_MsgExcelExportCaption", "Экспорт данных"},
    {"rs_MsgExcelImportWarning_1", "Размер таблицы в файле "},
    {"rs_MsgExcelImportWarning_2", "не совпадает с размером таблицы программы.\r\n"
                                   "Это приведёт к некорректному отображению данных. "
                                   "Продолжить импорт данных из Excel?"},
    {"rs_MsgExcelImportSuccessText", "Данные успешно импортированы из"},
    {"rs_MsgExcelImportErrorText", "Произошла ошибка при импорте данных из"},
    {"rs_MsgExcelImportCaption", "Импорт данных"},
    {"rs_ExportWeaponsTitle", "Оружие"},
    {"rs_ExportAmmoTitle", "Боеприпасы"},
    {"rs_ExportOutfitsTitle", "Бронежилеты"},
    {"rs_ExportArtsTitle", "Артефакты"},
    {"rs_ExportItemsTitle", "Еда и медикаменты"},
    {"rs_ExportWeatherTitle", "Погода"},
    {"rs_AddonStatus_0", "Отсутствует"},
    {"rs_AddonStatus_1", "Встроенный"},
    {"rs_AddonStatus_2", "Присоединяемый"},
}};

const TextDef kReadSettingsText = {"rs_ReadSettings", "Чтение параметров..."};
const TextDef kWriteSettingsText = {"rs_WriteSettings", "Запись параметров..."};
const TextDef kUnsavedCaption = {"rs_MsgUnsavedCaption", "Несохранённые изменения"};
const TextDef kUnsavedCloseText = {"rs_MsgUnsavedCloseText", "Сохранить изменения перед выходом?"};
const TextDef kUnsavedDropText = {"rs_MsgUnsavedDropText", "Несохранённые изменения будут потеряны."};
const TextDef kUnsavedGridText = {"rs_MsgUnsavedGridText",
                                  "В таблице есть изменённые ячейки, ещё не сохранённые."};
const TextDef kSaveAnswer = {"rs_AnswerSave", "Сохранить"};
const TextDef kStoreAnswer = {"rs_AnswerStore", "Сохранить ячейки"};
const TextDef kDiscardAnswer = {"rs_AnswerDiscard", "Не сохранять"};
const TextDef kCancelAnswer = {"rs_AnswerCancel", "Отмена"};
const TextDef kYesAnswer = {"rs_AnswerYes", "Да"};
const TextDef kNoAnswer = {"rs_AnswerNo", "Нет"};
const TextDef kChangesCaption = {"rs_ChangesCaption", "Изменения"};
const std::array<TextDef, 7> kChangesColumns = {{
    {"rs_ChangesEntries", "Записи"},
    {"rs_ChangesField", "Поле"},
    {"rs_ChangesKey", "Ключ"},
    {"rs_ChangesFile", "Файл"},
    {"rs_ChangesSection", "Секция"},
    {"rs_ChangesOnDisk", "В файле"},
    {"rs_ChangesNew", "Новое значение"},
}};
const TextDef kChangesRevert = {"rs_ChangesRevert", "Отменить выбранные"};
const TextDef kChangesCopy = {"rs_ChangesCopy", "Копировать"};
const TextDef kChangesClose = {"rs_ChangesClose", "Закрыть"};
const TextDef kChangesNotInFile = {"rs_ChangesNotInFile", "(нет в файле)"};
const TextDef kChangesGridCell = {"rs_ChangesGridCell", "(таблица, не сохранено)"};
const TextDef kExportGameFileText = {
    "rs_MsgExportGameFileText",
    "Файл \"%1\" относится к игре: экспорт не записывает файлы, прочитанные при "
    "загрузке, и ничего не записывает в папку gamedata игры. Выберите другое место."};
const TextDef kCharacterRefusedText = {
    "rs_MsgCharacterRefusedText", "Символ \"%1\" нельзя сохранить в файлах игры (кодировка windows-1251)."};
const TextDef kValueSectionMissing = {
    "rs_ValueSectionMissing",
    "Секция [%1], в которой хранится это значение, отсутствует в файле %2, поэтому его нельзя изменить."};
const TextDef kValueSectionUnnamed = {
    "rs_ValueSectionUnnamed",
    "Запись не указывает секцию файла %1, в которой хранится это значение, поэтому его нельзя изменить."};
const TextDef kNumberRefusedText = {"rs_MsgNumberRefusedText",
                                    "Здесь можно набрать только цифры, одну точку \".\" и знак перед числом"};
const TextDef kImportMatchByNameText = {
    "rs_MsgImportMatchByNameText",
    "Строки этого файла стоят в другом порядке, чем строки таблицы. Сопоставить их по названиям?"};
const TextDef kImportChangedCellsText = {"rs_MsgImportChangedCellsText", "Импорт изменил ячеек: %1"};
const TextDef kSavedText = {"rs_MsgSavedText", "Сохранено"};
const TextDef kUndoText = {"rs_Undo", "&Отменить действие"};
const TextDef kUndoStepText = {"rs_UndoStep", "&Отменить: %1"};
const TextDef kRedoText = {"rs_Redo", "&Повторить действие"};
const TextDef kRedoStepText = {"rs_RedoStep", "&Повторить: %1"};
const TextDef kTableSaveStepText = {"rs_StepTableSave", "сохранение таблицы"};
const TextDef kRefreshStepText = {"rs_StepTableRefresh", "обновление таблицы"};
const TextDef kPasteStepText = {"rs_StepPaste", "вставку ячеек: %1"};
const TextDef kDeleteStepText = {"rs_StepDelete", "удаление ячеек: %1"};
const TextDef kImportStepText = {"rs_StepImport", "импорт %1"};
const TextDef kRevertStepText = {"rs_StepRevert", "возврат изменений: %1"};
const TextDef kPasteLeftOutText = {"rs_MsgPasteLeftOutText",
                                   "Не поместились в таблицу и пропущены ячейки: %1"};
const TextDef kChooseColourHint = {"rs_ChooseColourHint", "Выбрать цвет"};
const TextDef kNotAColourText = {"rs_MsgNotAColourText",
                                 "Поле не содержит цвета: нужны три числа через запятую."};
const TextDef kChartButtonText = {"rs_TableChartCaption", "Диаграмма"};
const TextDef kChartButtonHint = {"rs_TableChartHint", "Показать столбец таблицы на диаграмме"};
const TextDef kChartCaption = {"rs_ChartCaption", "Диаграмма: %1"};
const TextDef kChartBarsText = {"rs_ChartBars", "Столбцы"};
const TextDef kChartScatterText = {"rs_ChartScatter", "Точки"};
const TextDef kChartColumnLabel = {"rs_ChartColumn", "Столбец:"};
const TextDef kChartColumnXLabel = {"rs_ChartColumnX", "По горизонтали:"};
const TextDef kChartColumnYLabel = {"rs_ChartColumnY", "По вертикали:"};
const TextDef kChartElementLabel = {"rs_ChartElement", "Элемент:"};
const TextDef kChartElementText = {"rs_ChartElementN", "%1-й"};
const TextDef kChartAverageText = {"rs_ChartAverage", "среднее"};
const TextDef kChartSortText = {"rs_ChartSort", "Упорядочить"};
const TextDef kChartSaveText = {"rs_ChartSave", "Сохранить изображение..."};
const TextDef kChartWindowSizeText = {"rs_ChartWindowSize", "размер окна"};
const TextDef kChartFullHdText = {"rs_ChartFullHd", "1920 × 1080"};
const TextDef kChartLeftOutText = {"rs_ChartLeftOut", "Не показаны записи, значение которых не число: %1"};
const TextDef kChartBarHoverText = {"rs_ChartBarHover", "%1: %2"};
const TextDef kChartChangedHoverText = {"rs_ChartChangedHover", "%1: %2 (в файле: %3)"};
const TextDef kChartPointHoverText = {"rs_ChartPointHover", "%1: %2; %3"};
const TextDef kChartImageFilter = {"rs_ChartImageFilter", "Изображение PNG (*.png)"};
const TextDef kChartSaveFailedText = {"rs_MsgChartSaveFailed",
                                      "Не удалось записать изображение в файл \"%1\"."};
const std::array<const TextDef*, 21> kChartTexts = {
    &kChartButtonText,     &kChartButtonHint,       &kChartCaption,        &kChartBarsText,
    &kChartScatterText,    &kChartColumnLabel,      &kChartColumnXLabel,   &kChartColumnYLabel,
    &kChartElementLabel,   &kChartElementText,      &kChartAverageText,    &kChartSortText,
    &kChartSaveText,       &kChartWindowSizeText,   &kChartFullHdText,     &kChartLeftOutText,
    &kChartBarHoverText,   &kChartChangedHoverText, &kChartPointHoverText, &kChartImageFilter,
    &kChartSaveFailedText,
};
const TextDef kParentLoopText = {
    "rs_MsgParentLoopText", "%1: родительские секции образуют цикл %2; каждая секция читается один раз."};
const TextDef kParentMissingText = {
    "rs_MsgParentMissingText",
    "%1: секция [%2] называет родительской секцию [%3], которой нет ни в одном файле."};
const TextDef kParentMissingMoreText = {"rs_MsgParentMissingMoreText",
                                        "Ещё секций, называющих родительской [%2]: %1."};
const TextDef kInheritedFromText = {"rs_InheritedFrom", "унаследовано из [%1] в %2"};
const TextDef kChangedFilesText = {"rs_ChangedFiles", "Другая программа изменила файлы игры: %1"};
const TextDef kChangedFileGoneText = {"rs_ChangedFileGone", "%1 (удалён)"};
const TextDef kChangedFilesMoreText = {"rs_ChangedFilesMore", "%1 и ещё %2"};
const TextDef kChangedFilesReloadText = {"rs_ChangedFilesReload", "Перечитать"};
const TextDef kChangedFilesIgnoreText = {"rs_ChangedFilesIgnore", "Пропустить"};
const TextDef kReloadCaption = {"rs_MsgReloadCaption", "Перечитать файлы"};
const TextDef kReloadLostText = {"rs_MsgReloadLost",
                                 "Этих секций больше нет в файлах, и изменения в них будут потеряны:\n%1"};
const TextDef kReloadUnplacedText = {"rs_MsgReloadUnplaced",
                                     "Эти изменения не удалось вернуть после перечитывания файлов:\n%1"};

const TextDef kConflictsCaption = {"rs_ConflictsCaption", "Изменено другой программой"};
const TextDef kConflictsMine = {"rs_ConflictsMine", "моё"};
const TextDef kConflictsTheirs = {"rs_ConflictsTheirs", "из файла"};
const TextDef kConflictsAllMine = {"rs_ConflictsAllMine", "Всё моё"};
const TextDef kConflictsAllTheirs = {"rs_ConflictsAllTheirs", "Всё из файлов"};
const TextDef kConflictsOk = {"rs_ConflictsOk", "OK"};
const TextDef kConflictsCancel = {"rs_ConflictsCancel", "Отмена"};
const TextDef kConflictsSaveNote = {
    "rs_ConflictsSaveNote",
    "Другая программа изменила эти значения после того, как они были прочитаны, а вы их тоже изменили. Файлы "
    "с ними не записаны, остальные сохранены. Выберите, что оставить: OK записывает выбранное."};
const TextDef kConflictsReloadNote = {
    "rs_ConflictsReloadNote",
    "Другая программа изменила эти значения, а вы их тоже изменили и не сохранили. Выберите, что оставить "
    "после перечитывания: ничего не записывается, пока вы не сохраните."};
const TextDef kConflictsNotSavedNote = {
    "rs_ConflictsNotSaved",
    "Не сохранено: значения, измененные другой программой, остались вашими правками."};
const std::array<TextDef, 7> kConflictsColumns = {{
    {"rs_ConflictsEntries", "Записи"},
    {"rs_ConflictsField", "Поле"},
    {"rs_ConflictsWhere", "Где"},
    {"rs_ConflictsAtLoad", "При чтении"},
    {"rs_ConflictsOnDisk", "В файле сейчас"},
    {"rs_ConflictsMineValue", "Моё"},
    {"rs_ConflictsKeep", "Оставить"},
}};
const std::array<const TextDef*, 10> kConflictsTexts = {
    &kConflictsCaption,    &kConflictsMine,         &kConflictsTheirs, &kConflictsAllMine,
    &kConflictsAllTheirs,  &kConflictsOk,           &kConflictsCancel, &kConflictsSaveNote,
    &kConflictsReloadNote, &kConflictsNotSavedNote,
};

TMainTexts::TMainTexts() {
    for (const TextDef& def : kMainTextDefs) {
        FTexts.append(QString::fromUtf8(def.Default));
    }
}

QString TMainTexts::Get(const char* key) const {
    for (std::size_t i = 0; i < kMainTextDefs.size(); ++i) {
        if (std::strcmp(kMainTextDefs[i].Key, key) == 0) {
            return FTexts[static_cast<int>(i)];
        }
    }
    throw std::invalid_argument(std::string("Unknown interface text key ") + key);
}

QString TMainTexts::At(int tableIndex) const {
    if (tableIndex < 0 || tableIndex >= FTexts.size()) {
        throw std::out_of_range("Interface text index " + std::to_string(tableIndex) + " out of range");
    }
    return FTexts[tableIndex];
}

void TMainTexts::Fetch(const TTranslator& translator, int languageIndex) {
    for (std::size_t i = 0; i < kMainTextDefs.size(); ++i) {
        QString& text = FTexts[static_cast<int>(i)];
        text = translator.GetVariable(languageIndex, QString::fromUtf8(kMainTextDefs[i].Key), text);
    }
}

} // namespace kw
