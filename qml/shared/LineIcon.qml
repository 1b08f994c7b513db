import QtQuick 2.15
import "qrc:/Coffret/qml/touch_glyphs.js" as TouchGlyphs

// A line glyph drawn in a 24 x 24 space and scaled to `size`.
Canvas {
    id: icon

    property string name: ""
    property color color: "#1a1d23"
    property real size: 24
    property real strokeWidth: 2

    readonly property var glyphs: ({
        "check": [[[5, 12.5], [10, 17.5], [19, 7]]],
        "x": [[[6, 6], [18, 18]], [[18, 6], [6, 18]]]
    })

    width: size
    height: size
    onNameChanged: requestPaint()
    onColorChanged: requestPaint()
    onSizeChanged: requestPaint()
    onStrokeWidthChanged: requestPaint()

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
        for (var s = 0; s < strokes.length; ++s) {
            var points = strokes[s];
            ctx.moveTo(points[0][0], points[0][1]);
            for (var p = 1; p < points.length; ++p)
                ctx.lineTo(points[p][0], points[p][1]);
        }
        ctx.stroke();
    }
}
