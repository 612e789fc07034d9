#include "runtime/engine/PageCaret.h"

namespace vxrt {

const char* const kCaretBinding = "__vxrtCaret";

// The caret's place is measured, not read: the text before it is measured
// with the field's font on a canvas (no element is added to the page), and
// placed as the engine lays out a one-line field: after its border and
// padding, moved by its alignment and its scroll, its line centred in the
// content box. Measured against the engine's own caret this is exact to the
// pixel for left, centred and password fields.
const char* const kCaretWatch = R"JS((function(){
if(window!==window.top||typeof __vxrtCaret!=='function')return;
var tell=__vxrtCaret,last=null,due=false,canvas=null;
var sheet=new CSSStyleSheet();
sheet.replaceSync('input:focus{caret-color:transparent!important;caret-animation:manual!important}');
var textual=/^(text|search|url|tel|email|password|number)$/;
function place(){
  var el=document.activeElement;
  if(!(el instanceof HTMLInputElement)||!textual.test(el.type))return '';
  var start=el.selectionStart;
  if(start===null||start!==el.selectionEnd)return '';
  var cs=getComputedStyle(el);
  if(cs.visibility!=='visible')return '';
  var box=el.getBoundingClientRect();
  canvas=canvas||document.createElement('canvas').getContext('2d');
  canvas.font=cs.font;
  canvas.letterSpacing=cs.letterSpacing;
  var value=el.type==='password'?'\u2022'.repeat(el.value.length):el.value;
  var before=canvas.measureText(value.slice(0,start)),all=canvas.measureText(value);
  var pl=parseFloat(cs.paddingLeft),pr=parseFloat(cs.paddingRight);
  var pt=parseFloat(cs.paddingTop),pb=parseFloat(cs.paddingBottom);
  var width=el.clientWidth-pl-pr,height=el.clientHeight-pt-pb;
  var shift=0;
  if(all.width<width){
    if(cs.textAlign==='center')shift=(width-all.width)/2;
    else if(cs.textAlign==='right'||cs.textAlign==='end')shift=width-all.width;
  }
  var h=before.fontBoundingBoxAscent+before.fontBoundingBoxDescent;
  var line=parseFloat(cs.lineHeight);
  if(!(line>h))line=h;
  var x=box.left+el.clientLeft+pl+shift+before.width-el.scrollLeft;
  var y=box.top+el.clientTop+pt+(height-line)/2+(line-h)/2;
  if(!(h>=1)||!isFinite(x)||!isFinite(y))return '';
  return Math.floor(x)+','+Math.round(y)+','+Math.round(h);
}
function report(){
  due=false;
  // A page that sets its own sheets must not bring the engine's caret back.
  if(document.adoptedStyleSheets.indexOf(sheet)<0)
    document.adoptedStyleSheets=document.adoptedStyleSheets.concat([sheet]);
  var now=place();
  if(now!==last){last=now;tell(now);}
}
function soon(){if(!due){due=true;setTimeout(report,0);}}
['selectionchange','focusin','focusout','input','keyup','mouseup'].forEach(function(n){
  document.addEventListener(n,soon,true);});
window.addEventListener('scroll',soon,{capture:true,passive:true});
window.addEventListener('resize',soon);
if(document.readyState==='loading')document.addEventListener('DOMContentLoaded',report);else report();
})();)JS";

}  // namespace vxrt
