#include <gtest/gtest.h>

#include <string>

#include "core/Cp1251.h"
#include "link/ConnectionCheck.h"
#include "link/ReadingFailure.h"

namespace kelm {
namespace {

std::string Utf8(std::string_view cp1251) {
    return Cp1251ToUtf8(cp1251);
}

TEST(CheckReport, NotFound) {
    EXPECT_EQ(
        Utf8(NotFoundReport(1, 0)),
        "Прибор с номером 0 в COM1 не обнаружен. \r\nПодключите прибор или измените настройки.");
    EXPECT_EQ(
        Utf8(NotFoundReport(8, 255)),
        "Прибор с номером 255 в COM8 не обнаружен. \r\nПодключите прибор или измените настройки.");
}

TEST(CheckReport, EveryOutcomeRow) {
    const std::string head =
        "Прибор ЛАРМИТ ГАЛ-101-1\r\nСетевой номер 3\r\nВерсия ПО от 15.03.06, НПП ДАРЕНС"
        "\r\nСчитывание параметра ЭДС в канале 2";
    const struct {
        ResultCode code;
        const char* tail;
    } rows[] = {
        {0, " поддерживается прибором."},
        {2, " не выполнено.\r\nОшибка при передаче данных."},
        {3, " не возможно.\r\nОтсутствует данный параметр в приборе."},
        {4, " временно не возможно.\r\nДанные не готовы."},
        {255, " не выполнено.\r\nПрибор не исправен."},
        {256, " не выполнено.\r\nНет связи."},
        {257, " не выполнено.\r\nОшибка формата команды."},
        {258, " не выполнено.\r\nОшибка открытия порта."},
        {1, " не выполнено."},
        {26, " не выполнено."},
    };
    const std::string model = Utf8ToCp1251("ГАЛ-101-1");
    const std::string maker = Utf8ToCp1251("НПП ДАРЕНС");
    for (const auto& row : rows) {
        EXPECT_EQ(
            Utf8(FoundReport(model, "15.03.06", maker, 3, MeasuredQuantity::Emf, 2, row.code)),
            head + row.tail)
            << row.code;
    }
}

TEST(CheckReport, QuantityWordsAndEmptyIdentityStrings) {
    const auto line = [](MeasuredQuantity q) { return Utf8(FoundReport("X", "", "", 0, q, 1, 0)); };
    const std::string head =
        "Прибор ЛАРМИТ X\r\nСетевой номер 0\r\nВерсия ПО от , \r\nСчитывание параметра ";
    EXPECT_EQ(line(MeasuredQuantity::Emf), head + "ЭДС в канале 1 поддерживается прибором.");
    EXPECT_EQ(line(MeasuredQuantity::Ph), head + "pH в канале 1 поддерживается прибором.");
    EXPECT_EQ(line(MeasuredQuantity::Px), head + "pX в канале 1 поддерживается прибором.");
    EXPECT_EQ(line(MeasuredQuantity::Conductivity),
              head + "УЭП в канале 1 поддерживается прибором.");
    EXPECT_EQ(line(static_cast<MeasuredQuantity>(7)), head + "в канале 1 поддерживается прибором.");
}

TEST(ReadingFailure, WordsEveryCode) {
    const std::pair<ResultCode, const char*> rows[] = {{2, "Неверный формат данных"},
                                                       {3, "Ошибка в параметрах команды"},
                                                       {4, "Данные не готовы"},
                                                       {255, "Прибор не исправен"},
                                                       {256, "Нет связи"},
                                                       {257, "Ошибка пакета"},
                                                       {258, "Ошибка COM порта"},
                                                       {26, "Ошибка 1ah"},
                                                       {1, "Ошибка 1h"},
                                                       {254, "Ошибка feh"}};
    for (const auto& [code, expected] : rows) {
        EXPECT_EQ(Utf8(ReadingFailureText(code).view()), expected) << code;
    }
}

}  // namespace
}  // namespace kelm
