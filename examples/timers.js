// A small tour: objects, a timer overridden in script, a timer connected through signals,
// and an event loop that runs until the work is done.
var owner = new QObject();
owner.setProperty("name", "owner");

var ticks = 0;
var ticker = new QObject(owner);
ticker.timerEvent = function(event) {
    ++ticks;
    print("tick", ticks);
    if (ticks == 3)
        this.killTimer(timerId);
};
var timerId = ticker.startTimer(20);

var loop = new QEventLoop();
var done = new QTimer(owner);
done.singleShot = true;
done.timeout.connect(function() {
    print("done after", ticks, "ticks; exiting the loop");
    loop.exit(ticks);
});
done.start(150);

var code = loop.exec();
print("loop returned", code);
print("owner", owner.property("name"), "has", owner.children().length, "children:",
      owner.children().map(function(c) { return c.toString(); }).join(", "));
print("flags:", QEventLoop.ProcessEventsFlags(QEventLoop.ExcludeUserInputEvents,
                                              QEventLoop.WaitForMoreEvents).toString());
