#include "plugin/compat.h"
#include "plugin/enums.h"
#include "plugin/values.h"

#include <limits>

static const char *const qtscript_QLocale_function_names[] = {
    "QLocale",
    // static
    "c", "countriesForLanguage", "countryToString", "languageToString", "setDefault", "system",
    // prototype
    "country", "dateFormat", "dateTimeFormat", "dayName", "decimalPoint", "exponential",
    "groupSeparator", "language", "measurementSystem", "monthName", "name", "negativeSign",
    "numberOptions", "equals", "percent", "readFrom", "setNumberOptions", "timeFormat", "toDate",
    "toDateTime", "toDouble", "toFloat", "toInt", "toLongLong", "toShort", "toString", "toTime",
    "toUShort", "writeTo", "zeroDigit",
};

static const char *const qtscript_QLocale_function_signatures[] = {
    "\nLanguage language, Country country\nQLocale other\nString name",
    // static
    "", "Language lang", "Country country", "Language language", "QLocale locale", "",
    // prototype
    "", "FormatType format", "FormatType format", "int arg__1, FormatType format", "", "", "",
    "", "", "int arg__1, FormatType format", "", "", "", "QLocale other", "",
    "QDataStream arg__1", "NumberOptions options", "FormatType format",
    "String string, FormatType arg__2\nString string, String format",
    "String string, FormatType format\nString string, String format", "String s", "String s",
    "String s, int base", "String s, int base", "String s, int base",
    "QDate date, FormatType format\nQDate date, String formatStr\n"
    "QDateTime dateTime, FormatType format\nQDateTime dateTime, String format\n"
    "QTime time, FormatType format\nQTime time, String formatStr\ndouble i, char f, int prec\n"
    "float i, char f, int prec\nint i\nqlonglong i\nqulonglong i\nshort i\nushort i",
    "String string, FormatType arg__2\nString string, String format", "String s, int base",
    "QDataStream arg__1", "",
};

static const int qtscript_QLocale_function_lengths[] = {
    2,
    // static
    0, 1, 1, 1, 1, 0,
    // prototype
    0, 1, 1, 2, 0, 0, 0, 0, 0, 2, 0, 0, 0, 1, 0, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 2, 3, 1, 0,
};

static constexpr kit::ClassTables qtscript_QLocale_tables =
    kit::tables("QLocale", qtscript_QLocale_function_names, qtscript_QLocale_function_signatures,
                qtscript_QLocale_function_lengths, 6);

// Language, Country and their value objects, with Qt 4.4's keys and numbers; compat translates
// the numbers that Qt 5 gave to other places.

static constexpr const char *qtscript_QLocale_Language_keys[] = {
    "C", "Abkhazian", "Afan", "Afar", "Afrikaans", "Albanian", "Amharic", "Arabic", "Armenian",
    "Assamese", "Aymara", "Azerbaijani", "Bashkir", "Basque", "Bengali", "Bhutani", "Bihari",
    "Bislama", "Breton", "Bulgarian", "Burmese", "Byelorussian", "Cambodian", "Catalan",
    "Chinese", "Corsican", "Croatian", "Czech", "Danish", "Dutch", "English", "Esperanto",
    "Estonian", "Faroese", "FijiLanguage", "Finnish", "French", "Frisian", "Gaelic", "Galician",
    "Georgian", "German", "Greek", "Greenlandic", "Guarani", "Gujarati", "Hausa", "Hebrew",
    "Hindi", "Hungarian", "Icelandic", "Indonesian", "Interlingua", "Interlingue", "Inuktitut",
    "Inupiak", "Irish", "Italian", "Japanese", "Javanese", "Kannada", "Kashmiri", "Kazakh",
    "Kinyarwanda", "Kirghiz", "Korean", "Kurdish", "Kurundi", "Laothian", "Latin", "Latvian",
    "Lingala", "Lithuanian", "Macedonian", "Malagasy", "Malay", "Malayalam", "Maltese", "Maori",
    "Marathi", "Moldavian", "Mongolian", "NauruLanguage", "Nepali", "Norwegian", "Occitan",
    "Oriya", "Pashto", "Persian", "Polish", "Portuguese", "Punjabi", "Quechua", "RhaetoRomance",
    "Romanian", "Russian", "Samoan", "Sangho", "Sanskrit", "Serbian", "SerboCroatian",
    "Sesotho", "Setswana", "Shona", "Sindhi", "Singhalese", "Siswati", "Slovak", "Slovenian",
    "Somali", "Spanish", "Sundanese", "Swahili", "Swedish", "Tagalog", "Tajik", "Tamil",
    "Tatar", "Telugu", "Thai", "Tibetan", "Tigrinya", "TongaLanguage", "Tsonga", "Turkish",
    "Turkmen", "Twi", "Uigur", "Ukrainian", "Urdu", "Uzbek", "Vietnamese", "Volapuk", "Welsh",
    "Wolof", "Xhosa", "Yiddish", "Yoruba", "Zhuang", "Zulu", "NorwegianNynorsk", "Bosnian",
    "Divehi", "Manx", "Cornish", "Akan", "Konkani", "Ga", "Igbo", "Kamba", "Syriac", "Blin",
    "Geez", "Koro", "Sidamo", "Atsam", "Tigre", "Jju", "Friulian", "Venda", "Ewe", "Walamo",
    "Hawaiian", "Tyap", "Chewa",
};

static constexpr int qtscript_QLocale_Language_values[] = {
    1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25,
    26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48,
    49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 65, 66, 67, 68, 69, 70, 71,
    72, 73, 74, 75, 76, 77, 78, 79, 80, 81, 82, 83, 84, 85, 86, 87, 88, 89, 90, 91, 92, 93, 94,
    95, 96, 97, 98, 99, 100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113,
    114, 115, 116, 117, 118, 119, 120, 121, 122, 123, 124, 125, 126, 127, 128, 129, 130, 131,
    132, 133, 134, 135, 136, 137, 138, 139, 140, 141, 142, 143, 144, 145, 146, 147, 148, 149,
    150, 151, 152, 153, 154, 155, 156, 157, 158, 159, 160, 161, 162, 163, 164, 165,
};

static constexpr const char *qtscript_QLocale_Country_keys[] = {
    "AnyCountry", "Afghanistan", "Albania", "Algeria", "AmericanSamoa", "Andorra", "Angola",
    "Anguilla", "Antarctica", "AntiguaAndBarbuda", "Argentina", "Armenia", "Aruba", "Australia",
    "Austria", "Azerbaijan", "Bahamas", "Bahrain", "Bangladesh", "Barbados", "Belarus",
    "Belgium", "Belize", "Benin", "Bermuda", "Bhutan", "Bolivia", "BosniaAndHerzegowina",
    "Botswana", "BouvetIsland", "Brazil", "BritishIndianOceanTerritory", "BruneiDarussalam",
    "Bulgaria", "BurkinaFaso", "Burundi", "Cambodia", "Cameroon", "Canada", "CapeVerde",
    "CaymanIslands", "CentralAfricanRepublic", "Chad", "Chile", "China", "ChristmasIsland",
    "CocosIslands", "Colombia", "Comoros", "DemocraticRepublicOfCongo",
    "PeoplesRepublicOfCongo", "CookIslands", "CostaRica", "IvoryCoast", "Croatia", "Cuba",
    "Cyprus", "CzechRepublic", "Denmark", "Djibouti", "Dominica", "DominicanRepublic",
    "EastTimor", "Ecuador", "Egypt", "ElSalvador", "EquatorialGuinea", "Eritrea", "Estonia",
    "Ethiopia", "FalklandIslands", "FaroeIslands", "FijiCountry", "Finland", "France",
    "MetropolitanFrance", "FrenchGuiana", "FrenchPolynesia", "FrenchSouthernTerritories",
    "Gabon", "Gambia", "Georgia", "Germany", "Ghana", "Gibraltar", "Greece", "Greenland",
    "Grenada", "Guadeloupe", "Guam", "Guatemala", "Guinea", "GuineaBissau", "Guyana", "Haiti",
    "HeardAndMcDonaldIslands", "Honduras", "HongKong", "Hungary", "Iceland", "India",
    "Indonesia", "Iran", "Iraq", "Ireland", "Israel", "Italy", "Jamaica", "Japan", "Jordan",
    "Kazakhstan", "Kenya", "Kiribati", "DemocraticRepublicOfKorea", "RepublicOfKorea", "Kuwait",
    "Kyrgyzstan", "Lao", "Latvia", "Lebanon", "Lesotho", "Liberia", "LibyanArabJamahiriya",
    "Liechtenstein", "Lithuania", "Luxembourg", "Macau", "Macedonia", "Madagascar", "Malawi",
    "Malaysia", "Maldives", "Mali", "Malta", "MarshallIslands", "Martinique", "Mauritania",
    "Mauritius", "Mayotte", "Mexico", "Micronesia", "Moldova", "Monaco", "Mongolia",
    "Montserrat", "Morocco", "Mozambique", "Myanmar", "Namibia", "NauruCountry", "Nepal",
    "Netherlands", "NetherlandsAntilles", "NewCaledonia", "NewZealand", "Nicaragua", "Niger",
    "Nigeria", "Niue", "NorfolkIsland", "NorthernMarianaIslands", "Norway", "Oman", "Pakistan",
    "Palau", "PalestinianTerritory", "Panama", "PapuaNewGuinea", "Paraguay", "Peru",
    "Philippines", "Pitcairn", "Poland", "Portugal", "PuertoRico", "Qatar", "Reunion",
    "Romania", "RussianFederation", "Rwanda", "SaintKittsAndNevis", "StLucia",
    "StVincentAndTheGrenadines", "Samoa", "SanMarino", "SaoTomeAndPrincipe", "SaudiArabia",
    "Senegal", "Seychelles", "SierraLeone", "Singapore", "Slovakia", "Slovenia",
    "SolomonIslands", "Somalia", "SouthAfrica", "SouthGeorgiaAndTheSouthSandwichIslands",
    "Spain", "SriLanka", "StHelena", "StPierreAndMiquelon", "Sudan", "Suriname",
    "SvalbardAndJanMayenIslands", "Swaziland", "Sweden", "Switzerland", "SyrianArabRepublic",
    "Taiwan", "Tajikistan", "Tanzania", "Thailand", "Togo", "Tokelau", "TongaCountry",
    "TrinidadAndTobago", "Tunisia", "Turkey", "Turkmenistan", "TurksAndCaicosIslands", "Tuvalu",
    "Uganda", "Ukraine", "UnitedArabEmirates", "UnitedKingdom", "UnitedStates",
    "UnitedStatesMinorOutlyingIslands", "Uruguay", "Uzbekistan", "Vanuatu", "VaticanCityState",
    "Venezuela", "VietNam", "BritishVirginIslands", "USVirginIslands", "WallisAndFutunaIslands",
    "WesternSahara", "Yemen", "Yugoslavia", "Zambia", "Zimbabwe", "SerbiaAndMontenegro",
};

static constexpr int qtscript_QLocale_Country_values[] = {
    0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24,
    25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47,
    48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 65, 66, 67, 68, 69, 70,
    71, 72, 73, 74, 75, 76, 77, 78, 79, 80, 81, 82, 83, 84, 85, 86, 87, 88, 89, 90, 91, 92, 93,
    94, 95, 96, 97, 98, 99, 100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112,
    113, 114, 115, 116, 117, 118, 119, 120, 121, 122, 123, 124, 125, 126, 127, 128, 129, 130,
    131, 132, 133, 134, 135, 136, 137, 138, 139, 140, 141, 142, 143, 144, 145, 146, 147, 148,
    149, 150, 151, 152, 153, 154, 155, 156, 157, 158, 159, 160, 161, 162, 163, 164, 165, 166,
    167, 168, 169, 170, 171, 172, 173, 174, 175, 176, 177, 178, 179, 180, 181, 182, 183, 184,
    185, 186, 187, 188, 189, 190, 191, 192, 193, 194, 195, 196, 197, 198, 199, 200, 201, 202,
    203, 204, 205, 206, 207, 208, 209, 210, 211, 212, 213, 214, 215, 216, 217, 218, 219, 220,
    221, 222, 223, 224, 225, 226, 227, 228, 229, 230, 231, 232, 233, 234, 235, 236, 237, 238,
    239, 240, 241,
};

static constexpr kit::EnumInfo qtscript_QLocale_Language = kit::enumeration<QLocale::Language>(
    "QLocale", "Language", qtscript_QLocale_Language_keys, qtscript_QLocale_Language_values,
    kit::KeyLookup::MetaObject);
static constexpr kit::EnumInfo qtscript_QLocale_Country = kit::enumeration<QLocale::Country>(
    "QLocale", "Country", qtscript_QLocale_Country_keys, qtscript_QLocale_Country_values,
    kit::KeyLookup::MetaObject);
static_assert(sizeof(qtscript_QLocale_Language_values) / sizeof(int) == 165, "165 languages");
static_assert(sizeof(qtscript_QLocale_Country_values) / sizeof(int) == 242, "242 countries");

static constexpr const char *qtscript_QLocale_FormatType_keys[] = {"LongFormat", "ShortFormat"};
static constexpr int qtscript_QLocale_FormatType_values[] = {0, 1};
static constexpr kit::EnumInfo qtscript_QLocale_FormatType = kit::enumeration<QLocale::FormatType>(
    "QLocale", "FormatType", qtscript_QLocale_FormatType_keys, qtscript_QLocale_FormatType_values,
    kit::KeyLookup::DirectIndex);

static constexpr const char *qtscript_QLocale_NumberOption_keys[] = {
    "OmitGroupSeparator", "RejectGroupSeparator",
};
static constexpr int qtscript_QLocale_NumberOption_values[] = {1, 2};
static constexpr kit::EnumInfo qtscript_QLocale_NumberOption =
    kit::enumeration<QLocale::NumberOption>("QLocale", "NumberOption",
                                            qtscript_QLocale_NumberOption_keys,
                                            qtscript_QLocale_NumberOption_values,
                                            kit::KeyLookup::DirectIndex);
static constexpr kit::FlagsInfo qtscript_QLocale_NumberOptions =
    kit::flags<QLocale::NumberOption>(qtscript_QLocale_NumberOption, "NumberOptions");

static constexpr const char *qtscript_QLocale_MeasurementSystem_keys[] = {
    "MetricSystem", "ImperialSystem",
};
static constexpr int qtscript_QLocale_MeasurementSystem_values[] = {0, 1};
static constexpr kit::EnumInfo qtscript_QLocale_MeasurementSystem =
    kit::enumeration<QLocale::MeasurementSystem>("QLocale", "MeasurementSystem",
                                                 qtscript_QLocale_MeasurementSystem_keys,
                                                 qtscript_QLocale_MeasurementSystem_values,
                                                 kit::KeyLookup::DirectIndex);

using Language = QLocale::Language;
using Country = QLocale::Country;

static Language qtscript_QLocale_language(kit::Call &call, int i)
{
    return Language(compat::languageToQt5(call.get<Language>(i)));
}

static Country qtscript_QLocale_country(kit::Call &call, int i)
{
    return Country(compat::countryToQt5(call.get<Country>(i)));
}

// toInt and its siblings: the number, or nothing when the text does not parse or does not fit.
static std::optional<qlonglong> qtscript_QLocale_toInteger(kit::Call &call, const QLocale &locale,
                                                          qlonglong min, qlonglong max)
{
    const QString text = call.get<QString>(0);
    return compat::localeToInteger(locale, text, call.get<int>(1, 0), min, max);
}

static QScriptValue qtscript_QLocale_number(kit::Call &call, const std::optional<qlonglong> &value)
{
    return value ? QScriptValue(double(*value)) : call.engine->nullValue();
}

template <class T>
static QScriptValue qtscript_QLocale_toReal(kit::Call &call, T (QLocale::*parse)(const QString &, bool *) const,
                                            const QLocale &locale)
{
    bool ok = false;
    const T value = (locale.*parse)(call.get<QString>(0), &ok);
    return ok ? QScriptValue(double(value)) : call.engine->nullValue();
}

// toDate, toDateTime and toTime: one text (long format), or a text and a format type or text.
template <class T>
static QScriptValue qtscript_QLocale_parse(kit::Call &call, const QLocale &locale,
                                           T (QLocale::*byType)(const QString &, QLocale::FormatType) const,
                                           T (QLocale::*byFormat)(const QString &, const QString &) const)
{
    if (call.argc == 1)
        return call.ret((locale.*byType)(call.get<QString>(0), QLocale::LongFormat));
    if (call.are<QString, QLocale::FormatType>())
        return call.ret((locale.*byType)(call.get<QString>(0), call.get<QLocale::FormatType>(1)));
    if (call.are<QString, QString>())
        return call.ret((locale.*byFormat)(call.get<QString>(0), call.get<QString>(1)));
    return call.mismatch();
}

// A date, date-time or time with a format type or format text.
template <class T>
static QScriptValue qtscript_QLocale_format(kit::Call &call, const QLocale &locale, const T &value)
{
    if (call.argc == 1)
        return call.ret(locale.toString(value, QLocale::LongFormat));
    if (call.is<QLocale::FormatType>(1))
        return call.ret(locale.toString(value, call.get<QLocale::FormatType>(1)));
    if (call.is<QString>(1))
        return call.ret(locale.toString(value, call.get<QString>(1)));
    return call.mismatch();
}

// toString: the first overload whose tests pass, in the order of the signatures. A script
// number always takes the double overload.
static QScriptValue qtscript_QLocale_toString(kit::Call &call, const QLocale &locale)
{
    if (call.argc <= 2) {
        if (call.is<QDate>(0))
            return qtscript_QLocale_format(call, locale, call.get<QDate>(0));
        if (call.is<QDateTime>(0))
            return qtscript_QLocale_format(call, locale, call.get<QDateTime>(0));
        if (call.is<QTime>(0))
            return qtscript_QLocale_format(call, locale, call.get<QTime>(0));
    }
    const QVariant first = kit::variantOf(call.arg(0));
    const bool isFloat = first.userType() == QMetaType::Float;
    if (call.is<double>(0) || isFloat) {
        const double number = isFloat ? first.toDouble() : call.get<double>(0);
        if (call.argc == 1)
            return call.ret(locale.toString(number, 'g', 6));
        if (!call.is<char>(1) || (call.argc == 3 && !call.is<int>(2)))
            return call.mismatch();
        const char format = call.get<char>(1);
        return call.ret(locale.toString(number, format, call.get<int>(2, 6)));
    }
    if (call.argc == 1) {
        switch (first.userType()) {
        case QMetaType::LongLong:
        case QMetaType::Short:
            return call.ret(locale.toString(first.toLongLong()));
        case QMetaType::ULongLong:
        case QMetaType::UShort:
            return call.ret(locale.toString(first.toULongLong()));
        }
    }
    return call.mismatch();
}

static QScriptValue qtscript_QLocale_prototype_call(kit::Call &call, kit::ValueHandle<QLocale> &self)
{
    const QLocale &locale = *self;
    switch (call.at()) {
    case kit::at(0, 0):
        return call.ret(Country(compat::countryToQt4(locale.country())));
    case kit::at(1, 0):
    case kit::at(1, 1):
        return call.ret(locale.dateFormat(call.get<QLocale::FormatType>(0, QLocale::LongFormat)));
    case kit::at(2, 0):
    case kit::at(2, 1):
        return call.ret(locale.dateTimeFormat(call.get<QLocale::FormatType>(0, QLocale::LongFormat)));
    case kit::at(3, 1):
    case kit::at(3, 2): {
        const int day = call.get<int>(0);
        return call.ret(locale.dayName(day, call.get<QLocale::FormatType>(1, QLocale::LongFormat)));
    }
    case kit::at(4, 0):
        return call.ret(locale.decimalPoint());
    case kit::at(5, 0):
        return call.ret(locale.exponential());
    case kit::at(6, 0):
        return call.ret(locale.groupSeparator());
    case kit::at(7, 0):
        return call.ret(Language(compat::languageToQt4(locale.language())));
    case kit::at(8, 0):
        return call.ret(QLocale::MeasurementSystem(
            compat::measurementSystemToQt4(locale.measurementSystem())));
    case kit::at(9, 1):
    case kit::at(9, 2): {
        const int month = call.get<int>(0);
        return call.ret(locale.monthName(month, call.get<QLocale::FormatType>(1, QLocale::LongFormat)));
    }
    case kit::at(10, 0):
        return call.ret(locale.name());
    case kit::at(11, 0):
        return call.ret(locale.negativeSign());
    case kit::at(12, 0):
        return call.ret(QLocale::NumberOptions(
            QFlag(compat::numberOptionsToQt4(int(locale.numberOptions())))));
    case kit::at(13, 1):
        return call.ret(locale == call.get<QLocale>(0));
    case kit::at(14, 0):
        return call.ret(locale.percent());
    case kit::at(15, 1):
        return kit::readFrom(call, self);
    case kit::at(16, 1): {
        const int options = compat::numberOptionsToQt4(int(call.get<QLocale::NumberOptions>(0)));
        self.edit()->setNumberOptions(QLocale::NumberOptions(QFlag(options)));
        return call.ret();
    }
    case kit::at(17, 0):
    case kit::at(17, 1):
        return call.ret(locale.timeFormat(call.get<QLocale::FormatType>(0, QLocale::LongFormat)));
    case kit::at(18, 1):
    case kit::at(18, 2):
        return qtscript_QLocale_parse<QDate>(call, locale, &QLocale::toDate, &QLocale::toDate);
    case kit::at(19, 1):
    case kit::at(19, 2):
        return qtscript_QLocale_parse<QDateTime>(call, locale, &QLocale::toDateTime,
                                                 &QLocale::toDateTime);
    case kit::at(20, 1):
        return qtscript_QLocale_toReal<double>(call, &QLocale::toDouble, locale);
    case kit::at(21, 1):
        return qtscript_QLocale_toReal<float>(call, &QLocale::toFloat, locale);
    case kit::at(22, 1):
    case kit::at(22, 2):
        return qtscript_QLocale_number(
            call, qtscript_QLocale_toInteger(call, locale, std::numeric_limits<int>::min(),
                                             std::numeric_limits<int>::max()));
    case kit::at(23, 1):
    case kit::at(23, 2): {
        // A Number object, not a primitive.
        const std::optional<qlonglong> value = qtscript_QLocale_toInteger(
            call, locale, std::numeric_limits<qlonglong>::min(),
            std::numeric_limits<qlonglong>::max());
        return value ? call.engine->toObject(QScriptValue(double(*value))) : call.engine->nullValue();
    }
    case kit::at(24, 1):
    case kit::at(24, 2):
        return qtscript_QLocale_number(
            call, qtscript_QLocale_toInteger(call, locale, std::numeric_limits<short>::min(),
                                             std::numeric_limits<short>::max()));
    case kit::at(25, 1):
    case kit::at(25, 2):
    case kit::at(25, 3):
        return qtscript_QLocale_toString(call, locale);
    case kit::at(26, 1):
    case kit::at(26, 2):
        return qtscript_QLocale_parse<QTime>(call, locale, &QLocale::toTime, &QLocale::toTime);
    case kit::at(27, 1):
    case kit::at(27, 2):
        return qtscript_QLocale_number(
            call, qtscript_QLocale_toInteger(call, locale, 0, std::numeric_limits<ushort>::max()));
    case kit::at(28, 1):
        return kit::writeTo(call, self);
    case kit::at(29, 0):
        return call.ret(locale.zeroDigit());
    }
    return call.mismatch();
}

static QScriptValue qtscript_QLocale_static_call(kit::Call &call)
{
    switch (call.at()) {
    case kit::at(0, 0):
        return call.wrapValue(QLocale());
    case kit::at(0, 1):
        if (call.is<Language>(0))
            return call.wrapValue(QLocale(qtscript_QLocale_language(call, 0)));
        if (call.is<QLocale>(0))
            return call.wrapValue(call.get<QLocale>(0));
        if (call.is<QString>(0))
            return call.wrapValue(QLocale(call.get<QString>(0)));
        break;
    case kit::at(0, 2): {
        const Language language = qtscript_QLocale_language(call, 0);
        return call.wrapValue(QLocale(language, qtscript_QLocale_country(call, 1)));
    }
    case kit::at(1, 0):
        return call.ret(QLocale::c());
    case kit::at(2, 1): {
        QList<Country> countries = QLocale::countriesForLanguage(qtscript_QLocale_language(call, 0));
        for (Country &c : countries)
            c = Country(compat::countryToQt4(c));
        return call.ret(countries);
    }
    case kit::at(3, 1):
        return call.ret(QLocale::countryToString(qtscript_QLocale_country(call, 0)));
    case kit::at(4, 1):
        return call.ret(QLocale::languageToString(qtscript_QLocale_language(call, 0)));
    case kit::at(5, 1):
        QLocale::setDefault(call.get<QLocale>(0));
        return call.ret();
    case kit::at(6, 0):
        return call.ret(QLocale::system());
    }
    return call.mismatch();
}

QScriptValue qtscript_create_QLocale_class(QScriptEngine *engine)
{
    QScriptValue ctor = kit::valueClass<QLocale, qtscript_QLocale_tables,
                                        qtscript_QLocale_static_call,
                                        qtscript_QLocale_prototype_call>(engine);
    kit::addEnum<qtscript_QLocale_MeasurementSystem>(engine, ctor);
    kit::addEnum<qtscript_QLocale_NumberOption>(engine, ctor);
    kit::addFlags<qtscript_QLocale_NumberOptions>(engine, ctor);
    kit::addEnum<qtscript_QLocale_FormatType>(engine, ctor);
    kit::addEnum<qtscript_QLocale_Country>(engine, ctor);
    kit::addEnum<qtscript_QLocale_Language>(engine, ctor);
    return ctor;
}
