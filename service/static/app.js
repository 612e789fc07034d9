// Progressive enhancement only: the copy buttons. Without script the short
// link stays in a read-only field that can be selected by hand.
"use strict";
document.addEventListener("DOMContentLoaded", function () {
  function copyText(text) {
    if (navigator.clipboard && window.isSecureContext) {
      return navigator.clipboard.writeText(text);
    }
    // Plain http on a host other than localhost is not a secure context.
    var field = document.createElement("textarea");
    field.value = text;
    field.setAttribute("readonly", "");
    field.style.position = "fixed";
    field.style.opacity = "0";
    document.body.appendChild(field);
    field.select();
    var ok = document.execCommand("copy");
    document.body.removeChild(field);
    return ok ? Promise.resolve() : Promise.reject(new Error("copy refused"));
  }
  document.querySelectorAll("button.copy").forEach(function (button) {
    button.hidden = false;
    button.addEventListener("click", function () {
      var label = button.textContent;
      copyText(button.getAttribute("data-copy")).then(function () {
        button.textContent = "已复制";
        button.classList.add("copied");
        setTimeout(function () { button.textContent = label; button.classList.remove("copied"); }, 1500);
      }, function () {
        var field = document.getElementById("short-url");
        if (field) field.select();
      });
    });
  });
  var shortField = document.getElementById("short-url");
  if (shortField) shortField.addEventListener("focus", function () { shortField.select(); });
});
