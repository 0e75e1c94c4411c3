// QLocale: construction, its enumerations and their Qt 4.4 numbers, formatting and parsing by
// locale (C, en_US, de_DE and the right-to-left ar_EG), integer parsers with a base.

function mismatch(name, lines) {
    return "QLocale::" + name + "(): could not find a function match; candidates are:\n" +
        lines.map(function(l) { return name + "(" + l + ")"; }).join("\n");
}
function ch(c) { return c.charCodeAt(0); }
var toStringMismatch = mismatch("toString", ["QDate date, FormatType format",
    "QDate date, String formatStr", "QDateTime dateTime, FormatType format",
    "QDateTime dateTime, String format", "QTime time, FormatType format",
    "QTime time, String formatStr", "double i, char f, int prec", "float i, char f, int prec",
    "int i", "qlonglong i", "qulonglong i", "short i", "ushort i"]);

test("constructors", function() {
    var de = new QLocale(QLocale.German);
    eq(de.language(), QLocale.German);
    eq(de.country(), QLocale.Germany, "QtCore's likely country for German");
    var ch_ = new QLocale(QLocale.German, QLocale.Switzerland);
    eq(ch_.name(), "de_CH");
    eq(new QLocale(QLocale.German, 5).country(), QLocale.Germany, "a plain number is AnyCountry");
    eq(new QLocale(ch_).name(), "de_CH");
    eq(new QLocale("de_DE").name(), "de_DE");
    eq(QLocale.c().name(), "C");
    eq(QLocale.c().language(), QLocale.C);
    eq(typeof QLocale.system().name(), "string");
    throws(function() { new QLocale(5); }, mismatch("QLocale",
        ["", "Language language, Country country", "QLocale other", "String name"]));
    throws(function() { QLocale(); }, "QLocale(): Did you forget to construct with 'new'?");
    throws(function() { QLocale.prototype.name(); }, "QLocale.name(): this object is not a QLocale", "TypeError");
    throws(function() { QLocale.prototype.name.call({}); }, "QLocale.name(): this object is not a QLocale");
    throws(function() { de.toString(); }, toStringMismatch);
    throws(function() { "" + de; }, toStringMismatch);
    eq(QLocale.setDefault(QLocale.c()), undefined);
});

test("enumerations", function() {
    eq(QLocale.C.valueOf(), 1);
    eq(QLocale.English.valueOf(), 31);
    eq(QLocale.German.valueOf(), 42);
    eq(QLocale.Chewa.valueOf(), 165);
    eq(QLocale.AnyCountry.valueOf(), 0);
    eq(QLocale.Germany.valueOf(), 82);
    eq(QLocale.SerbiaAndMontenegro.valueOf(), 241);
    eq(QLocale.C.toString(), "C");
    eq(QLocale.Germany.toString(), "Germany");
    eq(new QLocale.FormatType(1), QLocale.ShortFormat);
    eq(new QLocale.Language(42), QLocale.German);
    eq(QLocale.Country(0), QLocale.AnyCountry);
    throws(function() { new QLocale.FormatType(2); }, "FormatType(): invalid enum value (2)");
    throws(function() { new QLocale.MeasurementSystem(-1); }, "MeasurementSystem(): invalid enum value (-1)");
    throws(function() { new QLocale.NumberOption(0); }, "NumberOption(): invalid enum value (0)");
    throws(function() { new QLocale.Language(1000); }, "Language(): invalid enum value (1000)");
    throws(function() { new QLocale.Language(0); }, "Language(): invalid enum value (0)");
    throws(function() { new QLocale.Language(166); }, "Language(): invalid enum value (166)");
    throws(function() { new QLocale.Country(-1); }, "Country(): invalid enum value (-1)");
    throws(function() { new QLocale.Country(242); }, "Country(): invalid enum value (242)");
    eq(new QLocale.NumberOption(2), QLocale.RejectGroupSeparator);
    eq(QLocale.OmitGroupSeparator.toString(), "OmitGroupSeparator");
    var both = new QLocale.NumberOptions(QLocale.OmitGroupSeparator, QLocale.RejectGroupSeparator);
    eq(both.valueOf(), 3);
    eq(both.toString(), "OmitGroupSeparator,RejectGroupSeparator");
    eq(new QLocale.NumberOptions(2).toString(), "RejectGroupSeparator");
    eq(new QLocale.NumberOptions().toString(), "");
    throws(function() { new QLocale.NumberOptions(1, 2); },
           "NumberOptions(): argument 0 is not of type NumberOption", "TypeError");
    throws(function() { new QLocale.NumberOptions(QLocale.OmitGroupSeparator, QLocale.ShortFormat); },
           "NumberOptions(): argument 1 is not of type NumberOption");
    eq(new QLocale.NumberOptions(1).equals(new QLocale.NumberOptions(QLocale.OmitGroupSeparator)), true);
    eq(new QLocale.NumberOptions(1).equals(1), false);
    var keys = 0;
    for (var k in QLocale) if (QLocale[k] instanceof Object && QLocale[k].valueOf !== undefined &&
                               typeof QLocale[k] != "function") ++keys;
    eq(keys, 413, "value objects on the class");
});

// Qt 5 gave eight of Qt 4.4's numbers to other places. Each key still means its own language
// or country in QtCore, and the numbers Qt 5 reused come back without a key.
test("every translated language and country number", function() {
    var languages = [   // key, number, what QtCore calls it, the key QtCore's answer comes back as
        ["Moldavian", 81, "Romanian", "Romanian"],
        ["SerboCroatian", 101, "Serbian", "Serbian"],
        ["Tagalog", 115, "Filipino", "Tagalog"],
        ["Twi", 127, "Akan", "Akan"],
    ];
    languages.forEach(function(row) {
        var value = QLocale[row[0]];
        eq(value.valueOf(), row[1], row[0]);
        eq(QLocale.languageToString(value), row[2], row[0]);
        eq(new QLocale(value).language(), QLocale[row[3]], row[0]);
    });
    var countries = [   // key, number, QtCore's name, a language spoken there, the key back
        ["MetropolitanFrance", 75, "France", "French", "France"],
        ["NetherlandsAntilles", 152, "Cura Sao", "Dutch", "NetherlandsAntilles"],
        ["Yugoslavia", 238, "Serbia", "Serbian", "SerbiaAndMontenegro"],
        ["SerbiaAndMontenegro", 241, "Serbia", "Serbian", "SerbiaAndMontenegro"],
    ];
    countries.forEach(function(row) {
        var value = QLocale[row[0]];
        eq(value.valueOf(), row[1], row[0]);
        eq(QLocale.countryToString(value), row[2], row[0]);
        eq(new QLocale(QLocale[row[3]], value).country(), QLocale[row[4]], row[0]);
    });
    // Qt 5's own meanings of those numbers, and places after Qt 4.4's last number, have no key.
    eq(new QLocale("os_RU").language(), undefined, "Ossetic, Qt 5's 101");
    eq(new QLocale("sc_IT").language(), undefined, "Sardinian, Qt 5's 115");
    eq(new QLocale("en_GG").country(), undefined, "Guernsey, Qt 5's 75");
    eq(new QLocale("es_IC").country(), undefined, "Canary Islands, Qt 5's 238");
    eq(new QLocale("sr_ME").country(), undefined, "Montenegro");
    eq(new QLocale("fil_PH").language(), QLocale.Tagalog);
    eq(new QLocale(QLocale.Chewa, QLocale.Malawi).language(), QLocale.Chewa, "the last language");
    eq(new QLocale("gsw_CH").language(), undefined, "Swiss German, Qt 5's 167");
    eq(new QLocale.Language(165), QLocale.Chewa);
    throws(function() { new QLocale.Language(166); }, "Language(): invalid enum value (166)");
    eq(new QLocale("sn_ZW").country(), QLocale.Zimbabwe, "Qt 4.4's last country but one");
    eq(new QLocale("ak_GH").language(), QLocale.Akan);
    eq(new QLocale("nl_CW").country(), QLocale.NetherlandsAntilles);
    eq(new QLocale("sr_RS").country(), QLocale.SerbiaAndMontenegro);
    eq(new QLocale("ro_MD").language(), QLocale.Romanian);
    var serbian = QLocale.countriesForLanguage(QLocale.Serbian);
    ok(serbian.indexOf(QLocale.SerbiaAndMontenegro) >= 0, "Serbia comes back under its Qt 4.4 key");
    ok(serbian.indexOf(undefined) >= 0, "Montenegro has no key");
});

test("countriesForLanguage gives the stored value objects", function() {
    var list = QLocale.countriesForLanguage(QLocale.German);
    ok(list instanceof Array);
    ok(list.indexOf(QLocale.Germany) >= 0);
    ok(list.indexOf(QLocale.Switzerland) >= 0);
    list.forEach(function(c) { eq(c, QLocale[c.toString()]); });
});

test("measurement systems: Qt 5's UK system is the imperial one", function() {
    eq(new QLocale("en_US").measurementSystem(), QLocale.ImperialSystem);
    eq(new QLocale("en_GB").measurementSystem(), QLocale.ImperialSystem);
    eq(new QLocale("de_DE").measurementSystem(), QLocale.MetricSystem);
});

test("symbols and names by locale", function() {
    var c = QLocale.c(), us = new QLocale("en_US"), de = new QLocale("de_DE"), ar = new QLocale("ar_EG");
    eq(c.decimalPoint(), ch("."));
    eq(de.decimalPoint(), ch(","));
    eq(de.groupSeparator(), ch("."));
    eq(us.groupSeparator(), ch(","));
    eq(us.negativeSign(), ch("-"));
    eq(us.percent(), ch("%"));
    eq(c.exponential(), ch("e"));
    eq(us.zeroDigit(), ch("0"));
    eq(ar.zeroDigit(), 0x660);
    eq(ar.decimalPoint(), 0x66b);
    eq(de.dayName(1), "Montag");
    eq(us.dayName(7, QLocale.LongFormat), "Sunday");
    eq(us.monthName(1, QLocale.ShortFormat), "Jan");
    eq(de.monthName(12), "Dezember");
    eq(us.monthName(13), "", "out of range");
    eq(us.dateFormat(QLocale.ShortFormat), "M/d/yy");
    eq(de.dateFormat(QLocale.ShortFormat), "dd.MM.yy");
    eq(us.dateFormat(), us.dateFormat(QLocale.LongFormat));
    eq(us.timeFormat(5), us.timeFormat(QLocale.LongFormat), "a number is LongFormat");
    ok(us.dateTimeFormat().length > 0);
    eq(ar.language(), QLocale.Arabic);
    eq(ar.country(), QLocale.Egypt);
});

test("numbers formatted by locale", function() {
    eq(QLocale.c().toString(-1234.5), "-1234.5");
    eq(new QLocale("en_US").toString(-1234.5), "-1,234.5");
    eq(new QLocale("de_DE").toString(1234.5), "1.234,5");
    eq(new QLocale("ar_EG").toString(1234.5), "\u0661\u066c\u0662\u0663\u0664\u066b\u0665");
    eq(new QLocale("en_US").toString(1234567), "1.23457e+06", "a script number takes the double overload");
    throws(function() { QLocale.c().toString(3.5, "f", 2); }, toStringMismatch, "Error");
    throws(function() { QLocale.c().toString("12"); }, toStringMismatch);
    throws(function() { QLocale.c().toString(new QTime(1, 2), "hh", 3); }, toStringMismatch);
});

test("dates and times formatted and parsed by locale", function() {
    var us = new QLocale("en_US"), de = new QLocale("de_DE");
    var t = new QTime(13, 4, 5);
    eq(us.toString(t, QLocale.ShortFormat), "1:04 PM");
    eq(de.toString(t, QLocale.ShortFormat), "13:04");
    eq(us.toString(t, "hh:mm"), "13:04");
    eq(us.toString(t), us.toString(t, QLocale.LongFormat));
    var d = new Date(2020, 0, 2, 3, 4, 5);
    eq(de.toString(d, "d.M.yyyy"), "2.1.2020");
    ok(us.toString(d).indexOf("January 2, 2020") >= 0, us.toString(d));
    throws(function() { us.toString(t, 5); }, toStringMismatch);
    var parsed = us.toTime("13:04", "hh:mm");
    ok(parsed instanceof QTime, "a time carries the QTime methods");
    eq(parsed.minute(), 4);
    eq(us.toDate("2020-01-02", "yyyy-MM-dd").getFullYear(), 2020);
    eq(us.toDateTime("2020-01-02 13:04", "yyyy-MM-dd hh:mm").getHours(), 13);
    eq(isNaN(us.toDate("no date").getTime()), true, "an invalid date, nothing thrown");
    eq(us.toTime("no time").isValid(), false);
    throws(function() { us.toDate("2020", 5); }, mismatch("toDate",
        ["String string, FormatType arg__2", "String string, String format"]));
});

test("number parsers", function() {
    var c = QLocale.c(), us = new QLocale("en_US"), de = new QLocale("de_DE"), ar = new QLocale("ar_EG");
    eq(c.toInt("12"), 12);
    eq(c.toInt("abc"), null);
    eq(c.toDouble("1.5"), 1.5);
    eq(de.toDouble("1,5"), 1.5);
    eq(de.toDouble("1.5"), null);
    eq(ar.toDouble("\u0661\u066b\u0665"), 1.5);
    eq(c.toFloat("0.5"), 0.5);
    throws(function() { c.toDouble("1.5", 2); }, mismatch("toDouble", ["String s"]));
    var big = c.toLongLong("12");
    eq(typeof big, "object", "a Number object");
    eq(big.valueOf(), 12);
    eq(c.toLongLong("x"), null);
    eq(c.toShort("-32768"), -32768);
    eq(c.toShort("32768"), null);
    eq(c.toUShort("65535"), 65535);
    eq(c.toUShort("65536"), null);
    eq(c.toUShort("-1"), null);
    eq(c.toInt("2147483648"), null);
    eq(c.toInt("-2147483648"), -2147483648);
});

test("integer parsers with a base", function() {
    var c = QLocale.c(), us = new QLocale("en_US"), de = new QLocale("de_DE"), ar = new QLocale("ar_EG");
    eq(c.toInt("ff", 16), 255);
    eq(c.toInt("-FF", 16), -255);
    eq(c.toInt("z", 36), 35);
    eq(c.toInt("Z", 36), 35);
    eq(c.toInt("1Z", 36), 71);
    eq(c.toInt("a", 16), 10, "the first and last letters are digits");
    eq(c.toInt("1a", 16), 26);
    eq(c.toInt("101", 2), 5);
    eq(c.toInt("11111111111111111111", 2), 1048575, "long texts in small bases");
    eq(c.toInt("0x1f"), 31, "one argument: base 0, C prefixes");
    eq(c.toInt("010"), 8);
    eq(c.toInt("0x1f", 0), 31);
    eq(c.toInt("0x1f", 10), null, "base 10 is QtCore's decimal parser");
    eq(c.toInt("12", 1), null);
    eq(c.toInt("12", 37), null);
    eq(c.toInt("12", -16), null);
    eq(c.toShort("8000", 16), null, "range of short");
    eq(c.toShort("-8000", 16), -32768);
    eq(c.toUShort("ffff", 16), 65535);
    eq(c.toLongLong("7fffffffffffffff", 16).valueOf(), 9223372036854775807);
    eq(us.toInt("1,234"), 1234, "group separators dropped");
    eq(us.toInt("1,234", 10), 1234);
    eq(de.toInt("1.234", 16), 0x1234);
    eq(ar.toInt("\u0661\u066c\u0662\u0663\u0664"), 1234, "the locale's digits and separators");
    eq(ar.toInt("\u0661\u0662", 16), 0x12);
    eq(ar.toInt(ar.toString(-1234.5).replace("\u066b\u0665", "")), -1234);
    var strict = QLocale.c();
    strict.setNumberOptions(QLocale.RejectGroupSeparator);
    eq(strict.toInt("1,234"), null, "the locale rejects group separators");
    eq(strict.toInt("1234", 16), 0x1234);
});

test("integer parsers read group separators as QtCore's decimal parser does", function() {
    var c = QLocale.c(), de = new QLocale("de_DE"), nb = new QLocale("nb_NO");
    eq(c.toLongLong("1,2"), null, "a separator stands between groups of three");
    eq(c.toLongLong("1,"), null);
    eq(c.toLongLong("12,34567"), null);
    eq(c.toLongLong(",123"), null);
    eq(c.toLongLong("1,234").valueOf(), 1234);
    eq(c.toInt("-1,234,567"), -1234567);
    eq(de.toInt("1.23"), null);
    eq(de.toInt("1.234"), 1234);
    eq(c.toInt("1.234"), null, "a decimal point is no separator");
    eq(nb.toLongLong("1 234").valueOf(), 1234, "a plain space for the no-break space");
    eq(nb.toInt("1\u00a0234"), 1234);
    eq(c.toInt("1 234"), null);
    eq(c.toInt("0x1F"), 31, "C prefixes stay");
    eq(c.toInt("0x1,F2A"), 0x1f2a, "letters count as digits");
    eq(c.toInt("0x1F,2A"), null);
    eq(c.toShort("1,2", 16), null);
    eq(c.toUShort("1,2"), null);
    // Base 0 reads a decimal without a leading zero as base 10 does, which is QtCore's.
    var texts = ["1,2", "1,", "12,34567", "1,234", "1,234,567", "1234,567", "1,2345", "1,23,456",
                 "-1,234", "+1,234", "\u22121,234", "1.23", "1.234", "1 234", "1\u00a0234",
                 "1\u202f234", "1 234 567", "1  234", " 12 ", "1,,234", "123,", "1\u2019234",
                 "1'234", "1\u066c234", "\u0661\u066c\u0662\u0663\u0664", "1,234.0", "1e3"];
    ["C", "en_US", "de_DE", "nb_NO", "fr_FR", "de_CH", "hi_IN", "ar_EG"].forEach(function(name) {
        var l = new QLocale(name);
        texts.forEach(function(t) {
            eq(l.toInt(t), l.toInt(t, 10), name + " " + JSON.stringify(t));
            eq(l.toUShort(t), l.toUShort(t, 10), name + " " + JSON.stringify(t));
        });
    });
});

test("number options change only this locale", function() {
    var a = new QLocale("en_US"), b = new QLocale(a);
    eq(a.equals(b), true);
    a.setNumberOptions(QLocale.OmitGroupSeparator);
    eq(a.numberOptions().valueOf(), 1);
    eq(b.numberOptions().valueOf(), 0);
    eq(a.equals(b), false);
    eq(new QLocale("en_US").toString(-1234.5), "-1,234.5");
    a.setNumberOptions(new QLocale.NumberOptions(QLocale.OmitGroupSeparator, QLocale.RejectGroupSeparator));
    eq(a.numberOptions().toString(), "OmitGroupSeparator,RejectGroupSeparator");
    a.setNumberOptions(1);
    eq(a.numberOptions().valueOf(), 0, "a plain number converts to no options");
    a.setNumberOptions(new QLocale.NumberOptions(0x7f));
    eq(a.numberOptions().valueOf(), 3, "options Qt 4.4 did not have are dropped");
    eq(QLocale.c().equals("C"), QLocale.c().equals(new QLocale()), "a non-locale is the default locale");
});

test("streams", function() {
    var l = new QLocale("de_DE");
    throws(function() { l.readFrom(l); }, mismatch("readFrom", ["QDataStream arg__1"]));
    throws(function() { l.writeTo(null); }, mismatch("writeTo", ["QDataStream arg__1"]));
    eq(l.name(), "de_DE");
});

finish();
