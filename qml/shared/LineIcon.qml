import QtQuick 2.15
import "qrc:/Coffret/qml/TouchGlyphs.js" as TouchGlyphs

// A line glyph drawn in a 24 x 24 space and scaled to `size`. A stroke is a list of points
// joined by straight lines, or an arc {c: [x, y], r: radius, from: degrees, to: degrees}
// drawn clockwise (0 degrees points right, 90 down).
Canvas {
    id: icon

    property string name: ""
    property color color: "#1a1d23"
    property real size: 24
    property real strokeWidth: 2

    readonly property var glyphs: ({
        "check": [[[5, 12.5], [10, 17.5], [19, 7]]],
        "x": [[[6, 6], [18, 18]], [[18, 6], [6, 18]]],
        "plus": [[[12, 5], [12, 19]], [[5, 12], [19, 12]]],
        "minus": [[[5, 12], [19, 12]]],
        "menu": [[[4, 6.5], [20, 6.5]], [[4, 12], [20, 12]], [[4, 17.5], [20, 17.5]]],
        "ellipsis-v": [{c: [12, 5], r: 0.9, from: 0, to: 360},
                       {c: [12, 12], r: 0.9, from: 0, to: 360},
                       {c: [12, 19], r: 0.9, from: 0, to: 360}],
        "lock": [[[5, 11], [19, 11], [19, 21], [5, 21], [5, 11]],
                 [[8, 11], [8, 7.5]], {c: [12, 7.5], r: 4, from: 180, to: 360},
                 [[16, 7.5], [16, 11]], [[12, 14.5], [12, 17.5]]],
        "unlock": [[[5, 11], [19, 11], [19, 21], [5, 21], [5, 11]],
                   [[8, 11], [8, 6.5]], {c: [12, 6.5], r: 4, from: 180, to: 345},
                   [[12, 14.5], [12, 17.5]]],
        "package": [[[12, 2.5], [20.5, 7], [20.5, 17], [12, 21.5], [3.5, 17], [3.5, 7],
                     [12, 2.5]],
                    [[3.5, 7], [12, 11.5], [20.5, 7]], [[12, 11.5], [12, 21.5]],
                    [[7.75, 4.75], [16.25, 9.25]]],
        "key": [{c: [7.5, 14.5], r: 4, from: 0, to: 360}, [[10.5, 11.5], [20, 2]],
                [[16.5, 5.5], [19, 8]], [[14, 8], [16, 10]]],
        "arrow-up": [[[12, 19], [12, 5]], [[6, 11], [12, 5], [18, 11]]],
        "arrow-down": [[[12, 5], [12, 19]], [[6, 13], [12, 19], [18, 13]]],
        "refresh": [{c: [12, 12], r: 7.5, from: 300, to: 210},
                    [[15.75, 3.5], [15.75, 5.5], [17.75, 7.5]]],
        "info": [{c: [12, 12], r: 9, from: 0, to: 360}, [[12, 11], [12, 16.5]],
                 [[12, 7.5], [12, 7.6]]]
    })

    width: size
    height: size
    onNameChanged: requestPaint()
    onColorChanged: requestPaint()
    onSizeChanged: requestPaint()
    onStrokeWidthChanged: requestPaint()

    function traceStroke(ctx, stroke) {
        if (stroke.c) {
            var from = stroke.from * Math.PI / 180;
            ctx.moveTo(stroke.c[0] + stroke.r * Math.cos(from),
                       stroke.c[1] + stroke.r * Math.sin(from));
            ctx.arc(stroke.c[0], stroke.c[1], stroke.r, from, stroke.to * Math.PI / 180, false);
            return;
        }
        ctx.moveTo(stroke[0][0], stroke[0][1]);
        for (var p = 1; p < stroke.length; ++p)
            ctx.lineTo(stroke[p][0], stroke[p][1]);
    }

    onPaint: {
        var ctx = getContext("2d");
        ctx.reset();
        var strokes = glyphs[name] || TouchGlyphs.strokes[name];
        if (!strokes)
            return;
        ctx.scale(width / 24, height / 24);
        ctx.strokeStyle = color;
        ctx.lineWidth = strokeWidth;
        ctx.lineCap = "round";
        ctx.lineJoin = "round";
        ctx.beginPath();
        for (var s = 0; s < strokes.length; ++s)
            traceStroke(ctx, strokes[s]);
        ctx.stroke();
    }
}
