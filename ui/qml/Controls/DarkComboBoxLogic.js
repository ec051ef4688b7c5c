.pragma library

// The numeric and resolution rules of DarkComboBox, kept apart from the
// document so that they can be tested on their own.

var rowHeight = 34
var popupMaxHeight = 280
var popupGap = 2

function isMap(value) {
    return value !== null && value !== undefined && typeof value === "object"
            && !Array.isArray(value)
}

// The text of one list row: the map's textRole value, else the item-model
// row's role, else the row itself when it is a string, else the combo's own
// text for that index.
function rowText(rowData, rowModel, textRole, fallbackText) {
    if (textRole && isMap(rowData) && (textRole in rowData))
        return String(rowData[textRole])
    if (textRole && isMap(rowModel) && !isMap(rowData) && rowModel[textRole] !== undefined)
        return String(rowModel[textRole])
    if (typeof rowData === "string")
        return rowData
    return fallbackText === undefined || fallbackText === null ? "" : String(fallbackText)
}

// The right-aligned note of one row: the map's noteRole value, else its
// "note" value, else nothing.
function rowNote(rowData, noteRole) {
    if (!isMap(rowData))
        return ""
    if (noteRole && (noteRole in rowData))
        return String(rowData[noteRole])
    if ("note" in rowData)
        return String(rowData.note)
    return ""
}

// A row whose map says `available: false` is listed but cannot be chosen.
function rowAvailable(rowData) {
    return !(isMap(rowData) && rowData.available === false)
}

function popupWidth(controlWidth, popupMinWidth) {
    return Math.max(controlWidth, popupMinWidth)
}

function popupHeight(listContentHeight) {
    return Math.min(popupMaxHeight, listContentHeight + 6)
}

// The scroll bar stays on while the rows do not fit, else shows as needed.
function scrollBarAlwaysOn(listContentHeight, viewHeight) {
    return listContentHeight > viewHeight
}

// Rows alternate between the surface and the panel colour; the highlighted
// row is drawn by the caller in the accent colour.
function isOddRow(index) {
    return index % 2 === 1
}
