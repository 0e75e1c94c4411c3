// Numbers, dates, times and UUIDs formatted and parsed in three locales, and carried in a URL's
// query (QLocale, QTime, QUuid, QUrl).
//
//     ./run.sh examples/locales.js -- [locale names...]
//
// With no names it uses en_US, de_DE and fr_FR.

var names = args.length ? args : ["en_US", "de_DE", "fr_FR"];
var amount = 1234.25, count = 98765, day = new Date(2026, 11, 7), time = new QTime(14, 30, 5);
var fixedId = new QUuid("{67c8770b-44f1-410a-ab9a-f9b5446f13ee}");
var latin1 = QTextCodec.codecForMib(4);

for (var i = 0; i < names.length; ++i) {
    var locale = new QLocale(names[i]);
    print(locale.name() + " (" + QLocale.languageToString(locale.language()) + ", "
          + QLocale.countryToString(locale.country()) + ")");

    var amountText = locale.toString(amount), countText = locale.toString(count);
    print("  numbers:  " + amountText + "  " + countText + "  " + locale.toString(-42));
    print("  parsed:   " + locale.toDouble(amountText) + "  " + locale.toInt(countText)
          + "  (not a number: " + locale.toInt("12x") + ")");

    // Dates by the locale's own date formats (a script Date carries a time of day too).
    print("  date:     " + locale.toString(day, locale.dateFormat(QLocale.LongFormat)) + "  |  "
          + locale.toString(day, locale.dateFormat(QLocale.ShortFormat)));
    print("  weekday:  " + locale.dayName(1) + ", month " + locale.monthName(12));
    var timeText = locale.toString(time, QLocale.ShortFormat);
    var parsed = locale.toTime(timeText, QLocale.ShortFormat);
    print("  time:     " + timeText + "  parsed back: "
          + (parsed.isValid() ? parsed.toString("hh:mm") : "(not parsed)")
          + "  plus 90 min: " + locale.toString(time.addSecs(90 * 60), QLocale.ShortFormat));

    // A URL carrying the locale's texts: encoded for the wire, decoded when read back.
    var url = new QUrl("http://example.com/report");
    url.addQueryItem("locale", locale.name());
    url.addQueryItem("amount", amountText);
    url.addQueryItem("id", fixedId.toString());
    var wire = QUrl.fromEncoded(url.toEncoded());
    print("  url:      " + latin1.toUnicode(url.toEncoded()));
    print("  back:     amount " + wire.queryItemValue("amount") + " = "
          + locale.toDouble(wire.queryItemValue("amount")) + ", id "
          + (new QUuid(wire.queryItemValue("id")).equals(fixedId) ? "same" : "different"));
}

var fresh = QUuid.createUuid();
print("uuid: " + fixedId.toString() + " is version " + fixedId.version() + " ("
      + fixedId.variant().toString() + " variant); a new one is version " + fresh.version()
      + ", parses back: " + new QUuid(fresh.toString()).equals(fresh)
      + ", null: " + new QUuid().isNull());
