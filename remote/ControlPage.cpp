#include "remote/ControlPage.h"

namespace {

const char kPage[] = R"KXPAGE(<!DOCTYPE html>
<html lang="sr">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1, maximum-scale=1, user-scalable=no, viewport-fit=cover">
<meta name="theme-color" content="#090d16">
<meta name="mobile-web-app-capable" content="yes">
<meta name="apple-mobile-web-app-capable" content="yes">
<meta name="apple-mobile-web-app-status-bar-style" content="black-translucent">
<meta name="apple-mobile-web-app-title" content="Korvex Remote">
<title>Korvex Studio - Remote</title>
<style>
*{box-sizing:border-box;-webkit-tap-highlight-color:transparent;-webkit-user-select:none;user-select:none;margin:0;padding:0}
[hidden]{display:none!important}
html,body{height:100%;background:#07090e;color:#f3f4f6;font-family:system-ui,-apple-system,"Segoe UI",Roboto,Helvetica,Arial,sans-serif;overflow:hidden}
input{-webkit-user-select:text;user-select:text}
button{font-family:inherit;cursor:pointer;border:none;color:inherit;background:none}
#app{display:flex;flex-direction:column;height:100%;padding:10px;gap:10px;padding-top:max(10px,env(safe-area-inset-top))}
header{display:flex;align-items:center;justify-content:space-between;background:#0f141c;border:1px solid #222d3d;border-radius:10px;padding:8px 12px;flex:0 0 auto}
.hl{display:flex;align-items:center;gap:10px}
.brand{font-weight:800;letter-spacing:1.2px;font-size:14px;white-space:nowrap}
.brand b{color:#00ff66}
.badge{font-size:11px;font-weight:700;letter-spacing:1px;padding:3px 8px;border-radius:4px;border:1px solid #222d3d;color:#94a3b8;background:#151c27}
.badge.recording{color:#fff;background:#ff1e27;border-color:#ff1e27;animation:pulse 1s infinite}
.badge.arming{color:#07090e;background:#f59e0b;border-color:#f59e0b}
@keyframes pulse{0%,100%{opacity:1}50%{opacity:.45}}
.tc{font-family:ui-monospace,"SF Mono",Menlo,Consolas,"DejaVu Sans Mono",monospace;font-size:18px;font-weight:700;background:#07090e;border:1px solid #222d3d;border-radius:6px;padding:4px 10px;color:#f3f4f6}
#previewWrap{flex:0 0 auto;display:flex;justify-content:center}
#preview{position:relative;width:min(100%,calc(38vh * 16 / 9));aspect-ratio:16/9;max-height:38vh;background:#000;border:2px solid #222d3d;border-radius:10px;overflow:hidden}
#preview.live{border-color:#ff1e27;box-shadow:0 0 14px rgba(255,30,39,.45)}
#stream{width:100%;height:100%;object-fit:contain;display:block}
.pbadge{position:absolute;top:8px;font-size:10px;font-weight:700;letter-spacing:.8px;padding:3px 7px;border-radius:4px;background:rgba(7,9,14,.78);border:1px solid #222d3d}
#tally{left:8px;color:#fff;background:rgba(255,30,39,.85);border-color:#ff1e27}
#fpsBadge{right:8px;color:#00ff66}
#side{display:flex;flex-direction:column;gap:10px;flex:1 1 auto;min-height:0}
.sectionHead{display:flex;justify-content:space-between;align-items:center;font-size:11px;font-weight:700;letter-spacing:.6px;color:#94a3b8;text-transform:none}
#activeLabel{color:#00ff66}
#grid{display:grid;grid-template-columns:1fr 1fr;gap:8px;overflow-y:auto;flex:1 1 auto;min-height:0;align-content:start}
.card{position:relative;background:#151c27;border:1px solid #222d3d;border-radius:10px;padding:12px;min-height:74px;display:flex;flex-direction:column;justify-content:center;gap:4px;cursor:pointer}
.card .tdot{position:absolute;top:10px;left:10px;width:8px;height:8px;border-radius:50%;background:#94a3b8}
.card .cl{font-weight:800;font-size:15px;letter-spacing:1px;padding-left:14px}
.card .cn{font-size:11px;color:#94a3b8;white-space:nowrap;overflow:hidden;text-overflow:ellipsis;padding-right:26px}
.card .gear{position:absolute;top:6px;right:6px;width:28px;height:28px;border-radius:6px;background:rgba(7,9,14,.55);border:1px solid #222d3d;color:#94a3b8;font-size:14px;line-height:26px;text-align:center}
.card.pgm{background:linear-gradient(135deg,#5a0a0e,#2a0407);border-color:#ff1e27}
.card.pgm .cl,.card.pgm .cn,.card.pgm .gear{color:#fff}
.card.pgm .tdot{background:#fff;box-shadow:0 0 6px #fff}
.card.add{align-items:center;border-style:dashed;color:#94a3b8;background:#0f141c}
.card.add .plus{font-size:22px;font-weight:300;color:#00ff66;line-height:1}
.card.add .al{font-size:11px;font-weight:700;letter-spacing:.8px}
.card.wide{grid-column:1 / span 2;min-height:110px}
#buttons{display:grid;grid-template-columns:1fr 1fr;gap:8px;flex:0 0 auto;padding-bottom:env(safe-area-inset-bottom)}
#buttons button{height:64px;border-radius:12px;font-weight:800;letter-spacing:1px;font-size:15px;display:flex;align-items:center;justify-content:center;gap:8px}
#recBtn{background:#0f141c;border:2px solid #ff1e27;color:#ff1e27}
#recBtn .dot{width:12px;height:12px;border-radius:50%;background:#ff1e27}
#recBtn.on{background:#ff1e27;color:#fff}
#recBtn.on .dot{background:#fff}
#recBtn.arming{border-color:#f59e0b;color:#f59e0b}
#recBtn.arming .dot{background:#f59e0b}
#cutBtn{background:#0f141c;border:2px solid #00ff66;color:#00ff66;flex-direction:column;gap:2px!important}
#cutBtn .s{font-size:10px;color:#94a3b8;letter-spacing:2px}
.overlay{position:fixed;inset:0;background:rgba(7,9,14,.86);display:flex;align-items:center;justify-content:center;z-index:10;padding:12px}
.dcard{width:100%;max-width:420px;max-height:100%;overflow-y:auto;background:#0f141c;border:1px solid #222d3d;border-radius:12px}
.dhead{display:flex;justify-content:space-between;align-items:center;padding:12px 14px;background:#151c27;border-bottom:1px solid #222d3d;font-weight:800;font-size:13px;letter-spacing:.6px}
.dhead button{width:30px;height:30px;border-radius:6px;border:1px solid #222d3d;color:#94a3b8;font-size:14px}
.dbody{padding:12px 14px;display:flex;flex-direction:column;gap:6px}
.dbody label{font-size:10px;font-weight:700;color:#94a3b8;letter-spacing:.6px;margin-top:4px}
.dbody select,.dbody input{width:100%;height:38px;border-radius:6px;border:1px solid #222d3d;background:#07090e;color:#f3f4f6;padding:0 10px;font-size:14px;font-family:inherit}
.row2{display:grid;grid-template-columns:1fr 1fr;gap:8px}
.row2>div{display:flex;flex-direction:column;gap:6px}
.dfoot{display:flex;gap:8px;padding:12px 14px;border-top:1px solid #222d3d}
.dfoot button{flex:1;height:42px;border-radius:8px;font-weight:800;font-size:12px;letter-spacing:.6px;border:1px solid #222d3d;background:#151c27;color:#94a3b8}
#dDisable{border-color:#ff1e27;color:#ff1e27}
#dApply{background:#00ff66;border-color:#00ff66;color:#07090e}
#offline{flex-direction:column;gap:14px;text-align:center;z-index:20}
#offline h2{font-size:18px;font-weight:800}
#offline p{font-size:13px;color:#94a3b8;max-width:300px}
.spinner{width:42px;height:42px;border-radius:50%;border:4px solid #222d3d;border-top-color:#00ff66;animation:spin 1s linear infinite}
@keyframes spin{to{transform:rotate(360deg)}}
@media (orientation:landscape) and (max-height:600px){
 #app{display:grid;grid-template-columns:minmax(0,1fr) 300px;grid-template-rows:auto minmax(0,1fr);grid-template-areas:"preview header" "preview side";padding-left:max(10px,env(safe-area-inset-left));padding-right:max(10px,env(safe-area-inset-right))}
 header{grid-area:header}
 #previewWrap{grid-area:preview;align-items:center;min-height:0}
 #preview{width:100%;max-height:100%;height:auto}
 #side{grid-area:side}
 #buttons button{height:54px}
 .brand{font-size:12px;letter-spacing:.8px}
 .tc{font-size:15px;padding:4px 8px}
 header{padding:8px 10px}
 .card{min-height:60px}
}
</style>
</head>
<body>
<div id="app">
 <header>
  <div class="hl"><span class="brand">KORVEX <b>STUDIO</b></span><span id="statusBadge" class="badge">STANDBY</span></div>
  <div id="timecode" class="tc">00:00:00</div>
 </header>
 <div id="previewWrap"><div id="preview">
  <img id="stream" src="/stream.mjpg" alt="">
  <span id="tally" class="pbadge">PROGRAM (PGM 1)</span>
  <span id="fpsBadge" class="pbadge">-- FPS</span>
 </div></div>
 <div id="side">
  <div class="sectionHead"><span>Video Sources (Tap to Switch)</span><span id="activeLabel">CAM 1 ACTIVE</span></div>
  <div id="grid"></div>
  <div id="buttons">
   <button id="recBtn"><span class="dot"></span><span id="recText">START REC</span></button>
   <button id="cutBtn"><span class="t">NEXT CAM</span><span class="s">CYCLE</span></button>
  </div>
 </div>
</div>
<div id="dialog" class="overlay" hidden>
 <div class="dcard">
  <div class="dhead"><span id="dTitle"></span><button id="dClose" aria-label="close">✕</button></div>
  <div class="dbody">
   <label for="dChannel">KANAL (CHANNEL 1-4):</label>
   <select id="dChannel"><option value="1">Kanal 1 (CAM 1)</option><option value="2">Kanal 2 (CAM 2)</option><option value="3">Kanal 3 (CAM 3)</option><option value="4">Kanal 4 (CAM 4)</option></select>
   <label for="dName">NAZIV KANALA:</label>
   <input id="dName" type="text" placeholder="npr. Studio Kamera 1" autocomplete="off">
   <label for="dDevice">VIDEO UREĐAJ (KAMERA / CAPTURE CARD):</label>
   <select id="dDevice"><option value="">Učitavanje uređaja...</option></select>
   <div class="row2">
    <div><label for="dRes">REZOLUCIJA:</label><select id="dRes"></select></div>
    <div><label for="dFps">FRAMERATE (FPS):</label><select id="dFps"></select></div>
   </div>
   <label for="dRange">RASPON BOJA (COLOR RANGE):</label>
   <select id="dRange"><option value="Default">Default (Auto)</option><option value="Full (0-255 PC)">Full (0-255 PC)</option><option value="Partial (16-235 TV)">Partial (16-235 TV)</option></select>
  </div>
  <div class="dfoot"><button id="dCancel">OTKAŽI</button><button id="dDisable">ISKLJUČI</button><button id="dApply">PRIMENI SOURCE</button></div>
 </div>
</div>
<div id="offline" class="overlay" hidden>
 <div class="spinner"></div>
 <h2>Povezivanje sa Korvex...</h2>
 <p>Proverite da li je telefon na istoj Wi-Fi mreži kao i računar.</p>
</div>
<script>
(function () {
"use strict";
var activeSource = 1, isRecording = false, isArming = false, failCount = 0;
// Counts switches; a status asked for before the latest switch does not
// move the tally back to the source it replaced.
var switches = 0;
var lastStatus = null, lastInventory = null, gridKey = "";
function $(id) { return document.getElementById(id); }
function buzz() { try { if (navigator.vibrate) navigator.vibrate(35); } catch (e) {} }
function el(tag, cls, text) {
  var e = document.createElement(tag);
  if (cls) e.className = cls;
  if (text !== undefined) e.textContent = text;
  return e;
}
function channels(s) { return (s && Array.isArray(s.channels)) ? s.channels : []; }
function activeIds(s) {
  var ids = [];
  channels(s).forEach(function (c) { if (c && c.active) ids.push(Number(c.id)); });
  return ids;
}
function entryFor(id) {
  var list = channels(lastStatus);
  for (var i = 0; i < list.length; i++) if (Number(list[i].id) === id) return list[i];
  return null;
}
function jsonOf(r) {
  if (!r.ok) throw new Error("HTTP " + r.status);
  return r.json();
}

function poll() {
  var asked = switches;
  fetch("/api/status", { cache: "no-store" }).then(jsonOf).then(function (s) {
    failCount = 0;
    $("offline").hidden = true;
    render(s, asked === switches);
  }).catch(function () {
    failCount++;
    if (failCount > 3) $("offline").hidden = false;
  });
}

function buildGrid(s) {
  var list = channels(s).filter(function (c) { return c && c.active; });
  var key = JSON.stringify(list.map(function (c) { return [c.id, c.name]; }));
  if (key === gridKey && $("grid").childElementCount > 0) return;
  gridKey = key;
  var grid = $("grid");
  grid.textContent = "";
  list.forEach(function (c) {
    var id = Number(c.id);
    var card = el("div", "card");
    card.dataset.id = String(id);
    card.appendChild(el("span", "tdot"));
    card.appendChild(el("div", "cl", "CAM " + id));
    card.appendChild(el("div", "cn", c.name ? String(c.name) : "Camera " + id));
    var gear = el("button", "gear", "⚙");
    gear.setAttribute("aria-label", "settings");
    gear.addEventListener("click", function (ev) { ev.stopPropagation(); buzz(); openDialog(id); });
    card.appendChild(gear);
    card.addEventListener("click", function () { switchTo(id); });
    grid.appendChild(card);
  });
  if (list.length < 4) {
    var add = el("div", list.length === 0 ? "card add wide" : "card add");
    add.appendChild(el("div", "plus", "+"));
    add.appendChild(el("div", "al", list.length === 0 ? "DODAJ PRVI VIDEO SOURCE" : "DODAJ SOURCE"));
    add.addEventListener("click", function () { buzz(); openDialog(null); });
    grid.appendChild(add);
  }
  markActive(activeSource);
}

function markActive(id) {
  activeSource = id;
  var cards = $("grid").querySelectorAll(".card[data-id]");
  for (var i = 0; i < cards.length; i++)
    cards[i].classList.toggle("pgm", Number(cards[i].dataset.id) === id);
  $("tally").textContent = "PROGRAM (PGM " + id + ")";
  $("activeLabel").textContent = "CAM " + id + " ACTIVE";
}

function render(s, current) {
  lastStatus = s;
  buildGrid(s);
  if (current && s.activeSourceId !== undefined && s.activeSourceId !== null && Number(s.activeSourceId) !== 0)
    markActive(Number(s.activeSourceId));
  isRecording = !!s.isRecording;
  isArming = !!s.isArming;
  var btn = $("recBtn"), badge = $("statusBadge"), preview = $("preview");
  if (isRecording) {
    btn.className = "on";
    $("recText").textContent = "STOP REC";
    badge.textContent = "RECORDING";
    badge.className = "badge recording";
    preview.classList.add("live");
  } else if (isArming) {
    btn.className = "arming";
    $("recText").textContent = "ARMING (" + (Number(s.countdownSeconds) || 3) + "s)";
    badge.textContent = "ARMING";
    badge.className = "badge arming";
    preview.classList.remove("live");
  } else {
    btn.className = "";
    $("recText").textContent = "START REC";
    badge.textContent = "STANDBY";
    badge.className = "badge";
    preview.classList.remove("live");
  }
  if (s.timecode) $("timecode").textContent = String(s.timecode);
  if (s.currentFps !== undefined && s.currentFps !== null) {
    var target = Math.round(Number(s.selectedGlobalFps) || 60);
    $("fpsBadge").textContent = Number(s.currentFps).toFixed(1) + " FPS (" + target + " TARGET)";
  }
}

function switchTo(id) {
  buzz();
  ++switches;
  markActive(id);
  fetch("/api/switch?id=" + id, { method: "POST" }).then(jsonOf).then(function (s) {
    if (s.activeSourceId) markActive(Number(s.activeSourceId));
  }).catch(function (e) { console.log("switch failed", e); });
}

function nextCam() {
  var ids = activeIds(lastStatus);
  if (ids.length === 0) ids = [1, 2, 3, 4];
  var i = ids.indexOf(activeSource);
  switchTo(i < 0 ? ids[0] : ids[(i + 1) % ids.length]);
}

function toggleRecord() {
  buzz();
  fetch("/api/record", { method: "POST" }).then(jsonOf).then(render)
    .catch(function (e) { console.log("record failed", e); });
}

var stream = $("stream");
stream.addEventListener("error", function () {
  setTimeout(function () { stream.src = "/stream.mjpg?t=" + Date.now(); }, 1000);
});

// Source dialog
var resolutionLabels = { "3840x2160": " (4K UHD)", "1920x1080": " (1080p FHD)", "1280x720": " (720p HD)", "640x480": " (SD)" };
var fixedRates = ["60.00", "59.94", "50.00", "30.00", "29.97", "25.00", "24.00"];
function option(value, text) { var o = el("option", "", text); o.value = value; return o; }
function videoDevices() {
  return (lastInventory && Array.isArray(lastInventory.videoDevices)) ? lastInventory.videoDevices : [];
}
function selectedDevice() {
  var link = $("dDevice").value, list = videoDevices();
  for (var i = 0; i < list.length; i++) if (String(list[i].link) === link) return list[i];
  return null;
}
function formatsOf(dev) { return (dev && Array.isArray(dev.formats)) ? dev.formats : []; }
function fillDevices() {
  var sel = $("dDevice"), list = videoDevices();
  sel.textContent = "";
  if (list.length === 0) sel.appendChild(option("", "Nema detektovanih kamera"));
  list.forEach(function (d) { sel.appendChild(option(String(d.link), String(d.name))); });
  sel.selectedIndex = 0;
  fillResolutions();
}
function fillResolutions() {
  var sel = $("dRes"), seen = {}, formats = formatsOf(selectedDevice());
  sel.textContent = "";
  formats.forEach(function (f) {
    var key = f.width + "x" + f.height;
    if (seen[key]) return;
    seen[key] = true;
    sel.appendChild(option(key, key + (resolutionLabels[key] || "")));
  });
  if (formats.length === 0) {
    sel.appendChild(option("1920x1080", "1920x1080 (1080p FHD)"));
    sel.appendChild(option("1280x720", "1280x720 (720p HD)"));
  }
  sel.selectedIndex = 0;
  fillRates();
}
function fillRates() {
  var sel = $("dFps"), seen = {}, size = $("dRes").value;
  sel.textContent = "";
  formatsOf(selectedDevice()).forEach(function (f) {
    if (f.width + "x" + f.height !== size) return;
    var fps = Number(f.fps).toFixed(2);
    if (seen[fps]) return;
    seen[fps] = true;
    sel.appendChild(option(fps, fps + " fps (" + f.formatName + ")"));
  });
  if (sel.options.length === 0)
    fixedRates.forEach(function (r) { sel.appendChild(option(r, r + " fps")); });
  sel.selectedIndex = 0;
}
function setupDialog(channel) {
  $("dChannel").value = String(channel);
  var entry = entryFor(channel);
  if (entry && entry.active) {
    $("dTitle").textContent = "PODEŠAVANJE ZA KANAL " + channel;
    $("dDisable").hidden = false;
    $("dName").value = entry.name ? String(entry.name) : "CAM " + channel;
  } else {
    $("dTitle").textContent = "DODAJ VIDEO SOURCE (KANAL " + channel + ")";
    $("dDisable").hidden = true;
    $("dName").value = "CAM " + channel;
  }
  $("dRange").value = "Default";
}
function openDialog(channel) {
  if (!channel) {
    channel = 1;
    for (var id = 1; id <= 4; id++) {
      var e = entryFor(id);
      if (!e || !e.active) { channel = id; break; }
    }
  }
  setupDialog(channel);
  var sel = $("dDevice");
  sel.textContent = "";
  sel.appendChild(option("", "Učitavanje uređaja..."));
  $("dialog").hidden = false;
  fetch("/api/devices", { cache: "no-store" }).then(jsonOf).then(function (inv) { lastInventory = inv; })
    .catch(function (e) { console.log("device list failed", e); })
    .then(function () { if (Number($("dChannel").value) === channel) fillDevices(); });
}
function closeDialog() { $("dialog").hidden = true; }
function applyDialog() {
  buzz();
  var channel = Number($("dChannel").value);
  var name = $("dName").value.trim();
  var size = $("dRes").value.split("x");
  var width = parseInt(size[0], 10), height = parseInt(size[1], 10), rate = parseFloat($("dFps").value);
  var dev = $("dDevice");
  var body = {
    channelId: channel,
    channelName: name || "CAM " + channel,
    deviceLink: dev.value,
    deviceName: dev.selectedIndex >= 0 ? dev.options[dev.selectedIndex].text : "",
    width: isNaN(width) ? 1920 : width,
    height: isNaN(height) ? 1080 : height,
    framerate: isNaN(rate) ? 30.0 : rate,
    colorRange: $("dRange").value
  };
  fetch("/api/add_source", { method: "POST", headers: { "Content-Type": "application/json" }, body: JSON.stringify(body) })
    .then(jsonOf).then(function () { closeDialog(); poll(); })
    .catch(function (e) { console.log("apply failed", e); });
}
function disableChannel() {
  buzz();
  fetch("/api/remove_source?channelId=" + Number($("dChannel").value), { method: "POST" })
    .then(jsonOf).then(function () { closeDialog(); poll(); })
    .catch(function (e) { console.log("disable failed", e); });
}

$("recBtn").addEventListener("click", toggleRecord);
$("cutBtn").addEventListener("click", nextCam);
$("dClose").addEventListener("click", closeDialog);
$("dCancel").addEventListener("click", closeDialog);
$("dApply").addEventListener("click", applyDialog);
$("dDisable").addEventListener("click", disableChannel);
$("dDevice").addEventListener("change", fillResolutions);
$("dRes").addEventListener("change", fillRates);
$("dChannel").addEventListener("change", function () { openDialog(Number($("dChannel").value)); });

poll();
setInterval(poll, 500);
})();
</script>
</body>
</html>
)KXPAGE";

} // namespace

namespace ControlPage {

const QByteArray &html()
{
    static const QByteArray page = QByteArray::fromRawData(kPage, sizeof(kPage) - 1);
    return page;
}

} // namespace ControlPage
